#include "PdfTestSupport.h"
#include "app/AppModel.h"
#include "app/PdfExportError.h"
#include "app/PdfExportQuota.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/SavePanel.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QCoro/QCoroTask>

using namespace PdfTest;

// Reaches the model's open set, which only the practice operations set.
struct AppModelTestProbe
{
    static void openSet(AppModel &model, const QuestionModel &set, const std::optional<CardMenu> &menu)
    {
        model.m_questionModel = set;
        model.m_selectedMenu = menu;
        model.setQuestions(set.questionList);
    }
};

namespace {

// Answers the save panel the way the test says and remembers what it was asked.
struct ScriptedSavePanel final : SavePanel
{
    std::optional<QString> answer;
    QList<Request> requests;
    bool exportingWhileOpen = false;
    AppModel *model = nullptr;

    QCoro::Task<std::optional<QString>> chooseDestination(Request request) override
    {
        requests.append(request);
        exportingWhileOpen = model && model->isExportingPDF()
            && model->pdfExportProgress() == QStringLiteral("请选择 PDF 保存位置…");
        std::optional<QString> chosen = answer;
        co_return chosen;
    }
};

CardMenu menuNamed(const QString &name)
{
    CardMenu menu;
    menu.name = name;
    return menu;
}

} // namespace

class TestPdfExportEntry : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ManualClock m_clock{1'765'000'000'000};
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<APIClient> m_client;
    std::unique_ptr<AppModel> m_model;
    std::shared_ptr<ScriptedRenderer::Script> m_script;
    std::unique_ptr<PdfExportQuota> m_quota;
    ScriptedSavePanel m_panel;

    QString ledgerPath() const { return m_dir.filePath(QStringLiteral("Zevarud/pdf-export-quota.json")); }

    void exportNow() { QCoro::waitFor(m_model->exportPracticePDF()); }

private Q_SLOTS:
    void init()
    {
        QFile::remove(ledgerPath());
        m_defaults = std::make_unique<UserDefaults>(m_dir.filePath(QStringLiteral("defaults.json")));
        QFile::remove(m_defaults->filePath());
        m_defaults->setValue(AppModel::userIdKey, QStringLiteral("u1"));
        m_defaults->setValue(AppModel::mobileKey, QStringLiteral("13800138000"));
        m_client = std::make_unique<APIClient>(QStringLiteral("http://127.0.0.1:9"));
        m_model = std::make_unique<AppModel>(*m_client, *m_defaults, m_clock);
        m_script = std::make_shared<ScriptedRenderer::Script>();
        m_script->progressTexts = {QStringLiteral("正在加载题目和图片…"), QStringLiteral("正在生成 A4 PDF…")};
        m_quota = std::make_unique<PdfExportQuota>(m_clock, ledgerPath(), factory(m_script));
        m_panel = ScriptedSavePanel{};
        m_panel.model = m_model.get();
        m_panel.answer = m_dir.filePath(QStringLiteral("out/练习.pdf"));
        m_model->setPdfExport(&m_panel, m_quota.get());
        m_model->setSelectedExamBank(ExamBank{QStringLiteral("301"), QStringLiteral("公务员行测"), 1});
        AppModelTestProbe::openSet(*m_model, set(3), menuNamed(QStringLiteral("言语理解")));
    }

    void cleanup()
    {
        m_model.reset();
    }

    void exportsTheOpenSet()
    {
        QStringList progress;
        connect(m_model.get(), &AppModel::pdfExportProgressChanged, this,
                [&] { progress.append(m_model->pdfExportProgress()); });
        exportNow();

        QVERIFY(m_panel.exportingWhileOpen);
        QCOMPARE(m_panel.requests.size(), 1);
        const SavePanel::Request request = m_panel.requests.first();
        QCOMPARE(request.title, QStringLiteral("导出练习 PDF"));
        QCOMPARE(request.nameFilter, QStringLiteral("PDF (*.pdf)"));
        QVERIFY2(request.suggestedName.startsWith(QStringLiteral("言语理解专项训练_")), qPrintable(request.suggestedName));
        QCOMPARE(m_script->title, QStringLiteral("言语理解专项训练"));
        QCOMPARE(m_script->destination, *m_panel.answer);
        QCOMPARE(progress, (QStringList{QStringLiteral("请选择 PDF 保存位置…"), QStringLiteral("正在加载题目和图片…"),
                                        QStringLiteral("正在生成 A4 PDF…"), QString()}));
        QCOMPARE(m_model->noticeMessage(), std::optional<QString>(QStringLiteral("PDF 导出成功：练习.pdf")));
        QCOMPARE(m_model->errorMessage(), std::nullopt);
        QVERIFY(!m_model->isExportingPDF());
    }

    void title_data()
    {
        QTest::addColumn<QString>("menu"); // "-" for no selected menu
        QTest::addColumn<QString>("setTitle");
        QTest::addColumn<QString>("title");
        QTest::newRow("menu name") << QStringLiteral("资料分析") << QStringLiteral("套题") << QStringLiteral("资料分析专项训练");
        QTest::newRow("already suffixed") << QStringLiteral("数量专项训练") << QString() << QStringLiteral("数量专项训练");
        QTest::newRow("set title") << QStringLiteral("-") << QStringLiteral("套题") << QStringLiteral("套题专项训练");
        QTest::newRow("nothing") << QStringLiteral("-") << QString() << QStringLiteral("练习专项训练");
    }

    void title()
    {
        QFETCH(QString, menu);
        QFETCH(QString, setTitle);
        QFETCH(QString, title);
        QuestionModel model = set(2);
        if (!setTitle.isEmpty())
            model.title = setTitle;
        AppModelTestProbe::openSet(*m_model, model,
                                   menu == QLatin1String("-") ? std::nullopt : std::optional(menuNamed(menu)));
        exportNow();
        QCOMPARE(m_script->title, title);
    }

    void accountAndEnvironmentChooseTheQuota_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("account"); // empty: refused
        QTest::newRow("user id") << "u9" << "13800138000" << "production" << "u9";
        QTest::newRow("mobile when no user id") << "" << "13800138000" << "production" << "13800138000";
        QTest::newRow("test environment") << "u9" << "" << "test" << "u9";
        QTest::newRow("neither") << "" << "" << "production" << "";
    }

    void accountAndEnvironmentChooseTheQuota()
    {
        QFETCH(QString, userId);
        QFETCH(QString, mobile);
        QFETCH(QString, environment);
        QFETCH(QString, account);
        m_defaults->setValue(AppModel::userIdKey, userId);
        m_defaults->setValue(AppModel::mobileKey, mobile);
        m_model->setApiEnvironment(environment == QLatin1String("test") ? APIEnvironment::test : APIEnvironment::production);
        exportNow();
        if (account.isEmpty()) {
            QCOMPARE(m_model->errorMessage(), std::optional<QString>(QStringLiteral("导出失败：请先登录后再导出。")));
            QCOMPARE(m_script->renders, 0);
        } else {
            const QString key = PdfExportQuota::dayKey(m_clock.nowMilliseconds(), environment, account);
            QCOMPARE(m_quota->readLedger(), (QHash<QString, qint64>{{key, 3}}));
        }
        QVERIFY(!m_model->isExportingPDF());
        QCOMPARE(m_model->pdfExportProgress(), QString());
    }

    void nothingHappens_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("only section introductions") << "intros";
        QTest::newRow("already exporting") << "exporting";
        QTest::newRow("cancelled panel") << "cancel";
    }

    void nothingHappens()
    {
        QFETCH(QString, situation);
        m_model->setErrorMessage(QStringLiteral("earlier"));
        if (situation == QLatin1String("intros")) {
            QuestionModel model;
            model.questionList = {sectionIntro(QStringLiteral("s1")), sectionIntro(QStringLiteral("s2"))};
            AppModelTestProbe::openSet(*m_model, model, std::nullopt);
        } else if (situation == QLatin1String("cancel")) {
            m_panel.answer = std::nullopt;
        }
        QSignalSpy exporting(m_model.get(), &AppModel::isExportingPDFChanged);
        if (situation == QLatin1String("exporting")) {
            m_model->setIsExportingPDF(true);
            exporting.clear();
        }
        exportNow();
        QCOMPARE(m_panel.requests.size(), situation == QLatin1String("cancel") ? 1 : 0);
        QCOMPARE(m_script->renders, 0);
        QCOMPARE(m_model->errorMessage(), std::optional<QString>(QStringLiteral("earlier")));
        QCOMPARE(m_model->noticeMessage(), std::nullopt);
        QCOMPARE(m_model->isExportingPDF(), situation == QLatin1String("exporting"));
        QVERIFY(!QFile::exists(ledgerPath()));
    }

    void onlyXingCeBanksExport()
    {
        m_model->setSelectedExamBank(ExamBank{QStringLiteral("302"), QStringLiteral("申论"), 1});
        QSignalSpy exporting(m_model.get(), &AppModel::isExportingPDFChanged);
        exportNow();
        QCOMPARE(m_model->errorMessage(), std::optional<QString>(QStringLiteral("仅行测考试支持导出 PDF。")));
        QCOMPARE(exporting.count(), 0);
        QCOMPARE(m_panel.requests.size(), 0);
    }

    void renderingFailureIsShownAndFlagsReset()
    {
        m_script->during = [] { throw PdfExportError(QStringLiteral("PDF 生成失败，请重试。")); };
        exportNow();
        QCOMPARE(m_model->errorMessage(), std::optional<QString>(QStringLiteral("导出失败：PDF 生成失败，请重试。")));
        QCOMPARE(m_model->noticeMessage(), std::nullopt);
        QVERIFY(!m_model->isExportingPDF());
        QCOMPARE(m_model->pdfExportProgress(), QString());
        QCOMPARE(m_quota->readLedger().values(), QList<qint64>{0});
    }
};

QTEST_GUILESS_MAIN(TestPdfExportEntry)
#include "tst_pdfexportentry.moc"
