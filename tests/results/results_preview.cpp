// Saves pictures of the results screens with the real model on the in-process
// fake service, in the normal and the transparent look:
//   results_preview <directory>
// Writes report-*.png (also with a long title), analysis-*.png (also without
// an analysis, with a material, and at the panel's least width),
// history-*.png (also while loading and with the delete confirmation) and collections-*.png.

#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "ResultsTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <functional>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

using namespace PracticeTest;
using namespace ResultsTest;

namespace {

void waitFor(int ms)
{
    QTest::qWait(ms);
}

// Runs on the shown view before the picture is taken: opens a card, say.
using Prepare = std::function<void(QQuickView &)>;

void shoot(AppModel &model, const QString &file, const QString &path, bool transparent, QSize size = {1000, 700},
           const Prepare &prepare = {})
{
    model.setStudyTransparencyEnabled(transparent);
    QQuickView view;
    view.setColor(transparent ? QColor(0x3A, 0x7B, 0xD5) : QColor(Qt::white));
    AppModelSingleton::install(view.engine(), &model);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(size);
    view.setSource(QUrl(QStringLiteral("qrc:/Vuzo/") + file));
    if (view.status() != QQuickView::Ready) {
        qWarning() << view.errors();
        return;
    }
    view.show();
    (void)QTest::qWaitForWindowExposed(&view);
    waitFor(2500); // web pages load and report their heights
    if (prepare) {
        prepare(view);
        waitFor(400);
    }
    view.grabWindow().save(path);
}

} // namespace

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(directory);

    Environment env;
    AppModel &model = env.makeModel();
    for (const bool transparent : {false, true}) {
        const QString look = transparent ? QStringLiteral("transparent") : QStringLiteral("normal");

        QList<Question> questions;
        for (int i = 0; i < 23; ++i) {
            Question question = choice(QStringLiteral("q%1").arg(i), QStringLiteral("AB"),
                                       i % 4 == 0 ? QString() : (i % 3 ? QStringLiteral("AB") : QStringLiteral("ac")),
                                       QuestionType::multiple);
            question.questionFrom = QStringLiteral("2023 年国家公务员考试");
            question.analysis = QStringLiteral("<p>本题考查<b>片段阅读</b>，A、B 两项均符合文意。</p>");
            questions.append(question);
        }
        HistoryReport result = report(15, 5, 3, questions, QStringLiteral("754"));
        model.setReport(result);
        model.setScreen(AppScreen::report);
        shoot(model, QStringLiteral("ReportView.qml"), directory + QStringLiteral("/report-") + look + QStringLiteral(".png"),
              transparent);
        result.title = QStringLiteral("2024年国家公务员录用考试《行政职业能力测验》（地市级）言语理解与表达专项强化训练");
        model.setReport(result);
        shoot(model, QStringLiteral("ReportView.qml"),
              directory + QStringLiteral("/report-long-title-") + look + QStringLiteral(".png"), transparent, {700, 700});
        model.setReport(report(15, 5, 3, questions, QStringLiteral("754")));

        model.showAnalysis(false);
        model.setCurrentAnalysisIndex(3);
        env.defaults->setValue(QStringLiteral("answer_card_collapsed"), false);
        shoot(model, QStringLiteral("AnalysisView.qml"),
              directory + QStringLiteral("/analysis-") + look + QStringLiteral(".png"), transparent);

        // A question that comes without an analysis.
        QList<Question> bare = questions.mid(0, 2);
        bare[1].analysis.clear();
        model.setAnalysisQuestions(bare);
        model.setCurrentAnalysisIndex(1);
        shoot(model, QStringLiteral("AnalysisView.qml"),
              directory + QStringLiteral("/analysis-no-analysis-") + look + QStringLiteral(".png"), transparent,
              {1000, 900});

        // Questions that read a material, at the split under it.
        QList<Question> reading = questions.mid(0, 3);
        for (Question &question : reading)
            question.materialsId = QStringLiteral("m1");
        QString text;
        for (int i = 0; i < 12; ++i)
            text += QStringLiteral("<p>2023年全国粮食总产量为69541万吨，比上年增加888万吨，增长1.3%（第 %1 段）。</p>").arg(i + 1);
        model.setAnalysisQuestions(reading);
        model.setAnalysisMaterials({Material{QStringLiteral("m1"), QStringLiteral("资料一"), text}});
        model.setCurrentAnalysisIndex(1);
        shoot(model, QStringLiteral("AnalysisView.qml"),
              directory + QStringLiteral("/analysis-material-") + look + QStringLiteral(".png"), transparent);
        env.defaults->setValue(QStringLiteral("answer_card_collapsed"), true);
        shoot(model, QStringLiteral("AnalysisView.qml"),
              directory + QStringLiteral("/analysis-narrow-") + look + QStringLiteral(".png"), transparent, {450, 700});

        model.showPracticeHistory();
        shoot(model, QStringLiteral("HistoryView.qml"), directory + QStringLiteral("/history-") + look + QStringLiteral(".png"),
              transparent);
        // The delete confirmation over a page of rows, all selected.
        QJsonArray rows;
        for (int i = 0; i < 8; ++i)
            rows.append(QJsonObject{{QStringLiteral("id"), QStringLiteral("r%1").arg(i)},
                                    {QStringLiteral("examId"), QStringLiteral("e%1").arg(i)},
                                    {QStringLiteral("examName"), QStringLiteral("言语理解专项练习 %1").arg(i + 1)},
                                    {QStringLiteral("examStatus"), 2},
                                    {QStringLiteral("rightNum"), 7},
                                    {QStringLiteral("wrongNum"), 2},
                                    {QStringLiteral("unAnswerNum"), 1},
                                    {QStringLiteral("beginTime"), QString::number(1'700'000'000'000 - i * 3'600'000)}});
        env.service.setData(listPath, rows);
        model.backToHome();
        model.showPracticeHistory();
        shoot(model, QStringLiteral("HistoryView.qml"),
              directory + QStringLiteral("/history-delete-") + look + QStringLiteral(".png"), transparent, {1000, 700},
              [](QQuickView &view) {
                  if (QObject *history = view.rootObject()->findChild<QObject *>(QStringLiteral("historyController"))) {
                      QMetaObject::invokeMethod(history, "toggleEditing");
                      QMetaObject::invokeMethod(history, "selectAll");
                      history->setProperty("showingDeleteConfirmation", true);
                  }
              });
        env.service.clearData(listPath);

        // The first page on its way: the loading row.
        env.service.holdReplies(listPath);
        model.backToHome();
        model.showPracticeHistory();
        shoot(model, QStringLiteral("HistoryView.qml"),
              directory + QStringLiteral("/history-loading-") + look + QStringLiteral(".png"), transparent, {500, 300});
        env.service.releaseReplies(listPath);
        QTest::qWait(300);

        model.setScreen(AppScreen::collections);
        shoot(model, QStringLiteral("CollectionsView.qml"),
              directory + QStringLiteral("/collections-") + look + QStringLiteral(".png"), transparent);
    }
    return 0;
}
