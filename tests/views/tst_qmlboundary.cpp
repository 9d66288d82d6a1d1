// How QML reaches the application model: the AppModel singleton per engine,
// the enumerations by name, and the navigation table's rows.
#include "TestAppModel.h"

#include "views/AppModelSingleton.h"
#include "views/ScreenCatalog.h"

#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

// Evaluates a QML expression on the engine; invalid when it does not load.
QVariant evaluate(QQmlEngine &engine, const QString &expression)
{
    QQmlComponent component(&engine);
    component.setData(QStringLiteral("import QtQml\nimport Vuzo\nQtObject { property var value: %1 }")
                          .arg(expression)
                          .toUtf8(),
                      QUrl(QStringLiteral("qrc:/tests/Probe.qml")));
    std::unique_ptr<QObject> object(component.create());
    if (!object) {
        qWarning() << component.errorString();
        return {};
    }
    return object->property("value");
}

} // namespace

class TestQmlBoundary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enumerationsByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::newRow("login") << "AppScreen.Login" << int(AppScreen::login);
        QTest::newRow("home") << "AppScreen.Home" << int(AppScreen::home);
        QTest::newRow("purchase") << "AppScreen.Purchase" << int(AppScreen::purchase);
        QTest::newRow("questions") << "AppScreen.Questions" << int(AppScreen::questions);
        QTest::newRow("report") << "AppScreen.Report" << int(AppScreen::report);
        QTest::newRow("analysis") << "AppScreen.Analysis" << int(AppScreen::analysis);
        QTest::newRow("collections") << "AppScreen.Collections" << int(AppScreen::collections);
        QTest::newRow("history") << "AppScreen.History" << int(AppScreen::history);
        QTest::newRow("practice mode") << "ExamMode.Practice" << int(ExamMode::practice);
        QTest::newRow("review mode") << "ExamMode.Review" << int(ExamMode::review);
        QTest::newRow("single") << "QuestionType.Single" << int(QuestionType::single);
        QTest::newRow("multiple") << "QuestionType.Multiple" << int(QuestionType::multiple);
        QTest::newRow("answer") << "QuestionType.Answer" << int(QuestionType::answer);
        QTest::newRow("practice tab") << "PracticeHistoryTab.Practice" << int(PracticeHistoryTab::practice);
        QTest::newRow("paper tab") << "PracticeHistoryTab.Paper" << int(PracticeHistoryTab::paper);
    }
    void enumerationsByName()
    {
        QFETCH(QString, name);
        QFETCH(int, value);
        QQmlEngine engine;
        const QVariant result = evaluate(engine, name);
        QVERIFY2(result.isValid(), qPrintable(name));
        QCOMPARE(result.toInt(), value);
    }

    // The model's screen compares with the names in QML.
    void screenComparesByName()
    {
        TestAppModel model;
        QQmlEngine engine;
        AppModelSingleton::install(&engine, &model);
        model.setScreen(AppScreen::report);
        QCOMPARE(evaluate(engine, QStringLiteral("AppModel.screen === AppScreen.Report")).toBool(), true);
        QCOMPARE(evaluate(engine, QStringLiteral("AppModel.screen === AppScreen.Home")).toBool(), false);
    }

    // Each engine gets the model installed on it, typed, and never owns it.
    void eachEngineGetsItsOwnModel()
    {
        TestAppModel first;
        TestAppModel second;
        second.setScreen(AppScreen::collections);
        {
            auto engineA = std::make_unique<QQmlEngine>();
            auto engineB = std::make_unique<QQmlEngine>();
            AppModelSingleton::install(engineA.get(), &first);
            AppModelSingleton::install(engineB.get(), &second);
            QCOMPARE(evaluate(*engineA, QStringLiteral("AppModel.screen")).toInt(), int(AppScreen::home));
            QCOMPARE(evaluate(*engineB, QStringLiteral("AppModel.screen")).toInt(), int(AppScreen::collections));
            // A QML write lands in the C++ model, through its setter.
            QVERIFY(evaluate(*engineA, QStringLiteral("(AppModel.hoverAutoHideEnabled = true, AppModel.hoverAutoHideEnabled)")).toBool());
            QVERIFY(first.hoverAutoHideEnabled());
            QVERIFY(!second.hoverAutoHideEnabled());
        }
        // The engines are gone, the models are not.
        QPointer<AppModel> survivor(&first);
        QVERIFY(survivor);
        QCOMPARE(first.screen(), AppScreen::home);
        QQmlEngine later;
        QCOMPARE(AppModelSingleton::installed(&later), nullptr);
    }

    // Without a model QML gets a clear failure, not a crash.
    void noModelInstalled()
    {
        QQmlEngine engine;
        QTest::ignoreMessage(QtWarningMsg, "QML asked for AppModel before one was installed on its engine");
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("\"AppModel\" is not available")));
        const QVariant result = evaluate(engine, QStringLiteral("AppModel ? AppModel.screen : -1"));
        QVERIFY(!result.isValid() || result.toInt() == -1);
    }

    // The navigation table: one row per screen, each naming a view the
    // module holds (or the placeholder).
    void everyScreenHasARowWithALoadableView()
    {
        QSet<int> seen;
        for (const ScreenCatalog::Entry &row : ScreenCatalog::entries()) {
            QVERIFY2(!seen.contains(row.screen), "a screen has two rows");
            seen.insert(row.screen);
            const QUrl url = ScreenCatalog::viewUrl(row.screen);
            QVERIFY2(QFile::exists(QLatin1Char(':') + url.path()), qPrintable(url.toString()));
            QVERIFY(!ScreenCatalog::title(row.screen).isEmpty());
        }
        for (int screen = int(AppScreen::login); screen <= int(AppScreen::history); ++screen)
            QVERIFY2(seen.contains(screen), qPrintable(QString::number(screen)));
        QCOMPARE(ScreenCatalog::viewUrl(int(AppScreen::login)), QUrl(QStringLiteral("qrc:/Vuzo/LoginView.qml")));
        QCOMPARE(ScreenCatalog::viewUrl(int(AppScreen::questions)), QUrl(QStringLiteral("qrc:/Vuzo/QuestionView.qml")));
        QCOMPARE(ScreenCatalog::viewUrl(int(AppScreen::report)), QUrl(QStringLiteral("qrc:/Vuzo/ReportView.qml")));
        // A value that names no screen gets the placeholder.
        QCOMPARE(ScreenCatalog::viewUrl(99), QUrl(QStringLiteral("qrc:/Vuzo/ScreenPlaceholder.qml")));
        QCOMPARE(ScreenCatalog::lifetime(int(AppScreen::home)), int(ScreenCatalog::WhileSignedIn));
        QCOMPARE(ScreenCatalog::lifetime(int(AppScreen::history)), int(ScreenCatalog::OnceVisitedPerBank));
        QCOMPARE(ScreenCatalog::lifetime(int(AppScreen::report)), int(ScreenCatalog::WhileShown));
    }
};

QTEST_MAIN(TestQmlBoundary)
#include "tst_qmlboundary.moc"
