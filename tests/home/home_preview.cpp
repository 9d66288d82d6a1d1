// Signs in on the fake service and shows the root view with the home screen
// over a patterned backdrop, then saves pictures of the panel: the normal
// look, the transparent look, and the transparent look with a dropdown, the
// settings card and the sign-out card open. For looking at while developing; not run by CTest.
#include "AppModelTestSupport.h"
#include "PreviewBackdrop.h"
#include "ViewTestSupport.h"
#include "views/AppModelSingleton.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QCommandLineParser>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QWidget>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

void settle(int ms)
{
    QTest::qWait(ms);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("out"), QStringLiteral("Folder for the pictures."), QStringLiteral("dir"), QStringLiteral(".")},
        {QStringLiteral("size"), QStringLiteral("Panel size WxH."), QStringLiteral("size"), QStringLiteral("720x820")},
        {QStringLiteral("bank"), QStringLiteral("Exam bank id."), QStringLiteral("id"), QStringLiteral("101")},
        {QStringLiteral("long-names"), QStringLiteral("Menus whose names take more than one line.")},
    });
    parser.process(app);
    const QString out = parser.value(QStringLiteral("out"));

    PreviewBackdrop backdrop;
    backdrop.setGeometry(app.primaryScreen()->geometry());
    backdrop.show();

    AppModelEnvironment env;
    env.defaults->setValue(AppModel::examBankKey, parser.value(QStringLiteral("bank")));
    if (parser.isSet(QStringLiteral("long-names"))) {
        const auto menu = [](const QString &id, const QString &name, QJsonArray children = {}) {
            return QJsonObject{{"id", id}, {"examBankId", "101"}, {"questionType", 1}, {"menuType", 2}, {"name", name},
                               {"parentId", ""}, {"needVip", 1}, {"cnt", 20}, {"userWorkCnt", 3}, {"children", children}};
        };
        const QString longName = QStringLiteral("言语理解与表达之逻辑填空、片段阅读、语句表达与篇章阅读的综合专项训练（含历年真题精选）");
        env.service.setData(QStringLiteral("/common/getCardMenu"),
                            QJsonArray{menu(QStringLiteral("l1"), longName,
                                            {menu(QStringLiteral("l11"), longName + QStringLiteral("：实词辨析与成语运用")),
                                             menu(QStringLiteral("l12"), QStringLiteral("片段阅读"))}),
                                       menu(QStringLiteral("l2"), QStringLiteral("数量关系"))});
    }
    AppModel &model = env.makeModel();
    model.setScreen(AppScreen::login);

    QQuickView view;
    view.setFlags(Qt::FramelessWindowHint | Qt::Window);
    view.setColor(Qt::transparent);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    AppModelSingleton::install(view.engine(), &model);
    view.setSource(QUrl(QStringLiteral("qrc:/Vuzo/RootView.qml")));
    if (view.status() != QQuickView::Ready) {
        qWarning() << view.errors();
        return 1;
    }
    const QStringList size = parser.value(QStringLiteral("size")).split(QLatin1Char('x'));
    view.setGeometry(60, 40, size.value(0).toInt(), size.value(1).toInt());
    view.show();
    settle(300);

    // Signing in as a user would: the code the fake accepts.
    QCoro::waitFor(model.login(QStringLiteral("13800138000"), FakeService::verificationCode));
    settle(1500);
    model.dismissNoticeMessage();
    settle(300);
    view.grabWindow().save(out + QStringLiteral("/home-normal.png"));

    model.setStudyTransparencyEnabled(true);
    settle(600);
    view.grabWindow().save(out + QStringLiteral("/home-transparent.png"));
    app.primaryScreen()->grabWindow(0).save(out + QStringLiteral("/home-transparent-desktop.png"));

    QQuickItem *home = ViewTest::findItem(view.contentItem(), QStringLiteral("homeView"));
    if (home) {
        home->setProperty("showingRealExamPicker", true);
        settle(400);
        if (QQuickItem *under = ViewTest::findItem(home, QStringLiteral("underPickers")))
            qInfo() << "picker layer" << under->property("layer").value<QObject *>()->property("enabled")
                    << home->property("pickerOpen") << home->property("paperSlot");
        view.grabWindow().save(out + QStringLiteral("/home-transparent-papers.png"));
        home->setProperty("showingRealExamPicker", false);
        home->setProperty("showingExamBankPicker", true);
        settle(400);
        view.grabWindow().save(out + QStringLiteral("/home-transparent-banks.png"));
        home->setProperty("showingExamBankPicker", false);
        home->setProperty("showingExamSettings", true);
        settle(500);
        view.grabWindow().save(out + QStringLiteral("/home-transparent-settings.png"));
        model.setStudyTransparencyEnabled(false);
        settle(500);
        view.grabWindow().save(out + QStringLiteral("/home-normal-settings.png"));
        home->setProperty("showingExamSettings", false);
        home->setProperty("showingLogoutConfirmation", true);
        settle(500);
        view.grabWindow().save(out + QStringLiteral("/home-normal-logout.png"));
        model.setStudyTransparencyEnabled(true);
        settle(500);
        view.grabWindow().save(out + QStringLiteral("/home-transparent-logout.png"));
    }
    return 0;
}
