#include "PdfTestSupport.h"
#include "app/PdfExportError.h"
#include "app/PdfExportQuota.h"
#include "platform/Clock.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QCoro/QCoroTask>

using namespace PdfTest;
using namespace std::chrono_literals;

namespace {

qint64 utcMs(int y, int m, int d, int h, int min, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms), QTimeZone::utc()).toMSecsSinceEpoch();
}

const qint64 morning = utcMs(2026, 12, 8, 2, 0); // 10:00 on 8 December at UTC+8
const QString today = QStringLiteral("[\"2026-12-08\",\"production\",\"u1\"]");

} // namespace

class TestPdfQuota : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ManualClock m_clock{morning};
    std::shared_ptr<ScriptedRenderer::Script> m_script;
    std::unique_ptr<PdfExportQuota> m_quota;

    QString ledgerPath() const { return m_dir.filePath(QStringLiteral("data/Zevarud/pdf-export-quota.json")); }

    void writeLedger(const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(ledgerPath()).absolutePath());
        QFile file(ledgerPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QJsonObject ledgerOnDisk() const
    {
        QFile file(ledgerPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    // Runs one export; returns the error text, or an empty text on success.
    QString run(const QuestionModel &model, const QString &account = QStringLiteral("u1"),
                const QString &environment = QStringLiteral("production"))
    {
        return QCoro::waitFor(outcome(m_quota->exportPractice(model, QStringLiteral("标题"),
                                                              m_dir.filePath(QStringLiteral("out.pdf")), environment,
                                                              account, [](const QString &) { })));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        m_clock.set(morning);
        m_script = std::make_shared<ScriptedRenderer::Script>();
        m_quota = std::make_unique<PdfExportQuota>(m_clock, ledgerPath(), factory(m_script));
    }

    void dayIsTheUtc8CalendarDay_data()
    {
        QTest::addColumn<qint64>("moment");
        QTest::addColumn<QString>("day");
        QTest::newRow("just before 16:00 UTC") << utcMs(2026, 12, 8, 15, 59, 59, 999) << "2026-12-08";
        QTest::newRow("16:00 UTC starts the next day") << utcMs(2026, 12, 8, 16, 0) << "2026-12-09";
        QTest::newRow("year end") << utcMs(2026, 12, 31, 16, 0) << "2027-01-01";
        QTest::newRow("before 1970") << utcMs(1969, 12, 31, 10, 0) << "1969-12-31";
    }

    void dayIsTheUtc8CalendarDay()
    {
        QFETCH(qint64, moment);
        QFETCH(QString, day);
        QCOMPARE(PdfExportQuota::utc8Day(moment), day);
    }

    void dayKeyIsCompactJsonOfDayEnvironmentAccount()
    {
        QCOMPARE(PdfExportQuota::dayKey(morning, QStringLiteral("test"), QStringLiteral("13800138000")),
                 QStringLiteral("[\"2026-12-08\",\"test\",\"13800138000\"]"));
        QCOMPARE(PdfExportQuota::dayKey(morning, QStringLiteral("test"), QStringLiteral("a/\"b")),
                 QStringLiteral("[\"2026-12-08\",\"test\",\"a\\/\\\"b\"]"));
    }

    void firstExportCreatesTheLedgerAndCountsOnlyRealQuestions()
    {
        // 20 questions in sections of 7: three introductions are not counted.
        QCOMPARE(run(set(20, 7)), QString());
        QCOMPARE(m_script->renders, 1);
        QCOMPARE(m_script->questionCount, 23); // the whole set reaches the renderer
        QCOMPARE(ledgerOnDisk().value(today).toInteger(), 20);
    }

    void dailyLimit_data()
    {
        QTest::addColumn<QByteArray>("stored"); // today's stored value, empty for none
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("error");
        QTest::addColumn<qint64>("after");
        QTest::newRow("exactly 150") << QByteArray() << 150 << QString() << qint64(150);
        QTest::newRow("140 + 10") << QByteArray("140") << 10 << QString() << qint64(150);
        QTest::newRow("140 + 11")
            << QByteArray("140") << 11
            << QStringLiteral("每天最多导出 150 题，今日剩余 10 题。本次共 11 题，请减少题量后再导出。") << qint64(140);
        QTest::newRow("nothing left")
            << QByteArray("150") << 1
            << QStringLiteral("每天最多导出 150 题，今日剩余 0 题。本次共 1 题，请减少题量后再导出。") << qint64(150);
        QTest::newRow("over the limit already")
            << QByteArray("400") << 1
            << QStringLiteral("每天最多导出 150 题，今日剩余 0 题。本次共 1 题，请减少题量后再导出。") << qint64(400);
        QTest::newRow("negative counts as 0") << QByteArray("-30") << 3 << QString() << qint64(3);
    }

    void dailyLimit()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, count);
        QFETCH(QString, error);
        QFETCH(qint64, after);
        if (!stored.isEmpty())
            writeLedger("{\"" + today.toUtf8().replace("\"", "\\\"") + "\":" + stored + ",\"other\":7}");
        QCOMPARE(run(set(count)), error);
        QCOMPARE(m_script->renders, error.isEmpty() ? 1 : 0);
        QCOMPARE(ledgerOnDisk().value(today).toInteger(), after);
        if (!stored.isEmpty())
            QCOMPARE(ledgerOnDisk().value(QStringLiteral("other")).toInteger(), 7); // other keys stay
    }

    void environmentsAccountsAndDaysCountSeparately()
    {
        QCOMPARE(run(set(150)), QString());
        QCOMPARE(run(set(150), QStringLiteral("u1"), QStringLiteral("test")), QString());
        QCOMPARE(run(set(150), QStringLiteral("13800138000")), QString());
        QVERIFY(!run(set(1)).isEmpty());
        m_clock.set(utcMs(2026, 12, 8, 16, 0));
        QCOMPARE(run(set(150)), QString());
        QCOMPARE(ledgerOnDisk().size(), 4);
    }

    void refusalsBeforeAnyCount_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("error");
        QTest::newRow("not signed in") << QString() << 3 << QStringLiteral("请先登录后再导出。");
        QTest::newRow("only section introductions") << QStringLiteral("u1") << 0 << QStringLiteral("暂无可导出的题目。");
    }

    void refusalsBeforeAnyCount()
    {
        QFETCH(QString, account);
        QFETCH(int, questions);
        QFETCH(QString, error);
        QuestionModel model = set(questions);
        model.questionList.append(sectionIntro(QStringLiteral("s")));
        QCOMPARE(run(model, account), error);
        QCOMPARE(m_script->renders, 0);
        QVERIFY(!PdfExportQuota::isExporting());
        QVERIFY(ledgerOnDisk().value(today).isUndefined());
    }

    void renderingFailureGivesTheReservationBack_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<qint64>("after");
        QTest::newRow("earlier count") << QByteArray("40") << qint64(40);
        QTest::newRow("no earlier entry stays as 0") << QByteArray() << qint64(0);
    }

    void renderingFailureGivesTheReservationBack()
    {
        QFETCH(QByteArray, stored);
        QFETCH(qint64, after);
        if (!stored.isEmpty())
            writeLedger("{\"" + today.toUtf8().replace("\"", "\\\"") + "\":" + stored + "}");
        qint64 duringRender = -1;
        m_script->during = [&] {
            duringRender = ledgerOnDisk().value(today).toInteger();
            throw PdfExportError(QStringLiteral("PDF 生成失败，请重试。"));
        };
        QCOMPARE(run(set(5)), QStringLiteral("PDF 生成失败，请重试。")); // passed on unchanged
        QCOMPARE(duringRender, after + 5);                              // reserved before rendering
        QVERIFY(ledgerOnDisk().contains(today));
        QCOMPARE(ledgerOnDisk().value(today).toInteger(), after);
        QVERIFY(!PdfExportQuota::isExporting());
    }

    void restoreKeepsWhatAnotherCopyCountedMeanwhile()
    {
        // Another running copy of the program exports 30 while this one renders.
        m_script->during = [&] {
            QJsonObject other = ledgerOnDisk();
            other.insert(today, other.value(today).toInteger() + 30);
            writeLedger(QJsonDocument(other).toJson(QJsonDocument::Compact));
            throw PdfExportError(QStringLiteral("x"));
        };
        QCOMPARE(run(set(5)), QStringLiteral("x"));
        QCOMPARE(ledgerOnDisk().value(today).toInteger(), 30);
    }

    void restoreUsesTheDayTheExportStartedOn()
    {
        m_clock.set(utcMs(2026, 12, 8, 15, 59, 59));
        m_script->during = [&] {
            m_clock.set(utcMs(2026, 12, 8, 16, 0, 1));
            throw PdfExportError(QStringLiteral("x"));
        };
        QCOMPARE(run(set(5)), QStringLiteral("x"));
        QCOMPARE(ledgerOnDisk().keys(), QStringList{today});
        QCOMPARE(ledgerOnDisk().value(today).toInteger(), 0);
    }

    void failedRestoreIsReported()
    {
        m_script->during = [&] {
            // The ledger's place turns into a folder: it can be neither read nor replaced.
            QFile::remove(ledgerPath());
            QDir().mkpath(ledgerPath() + QStringLiteral("/x"));
            throw PdfExportError(QStringLiteral("渲染失败"));
        };
        // The rendering error is not reported, only why the count stays taken.
        QCOMPARE(run(set(5)), QStringLiteral("导出失败，额度记录恢复失败：无法读取每日导出额度记录：文件无法打开。"));
        QVERIFY(!PdfExportQuota::isExporting());
    }

    void damagedLedgerRefusesEveryExportAndStaysAsItIs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("not JSON") << QByteArray("{\"a\":")
                                  << QStringLiteral("无法读取每日导出额度记录：文件内容不是有效的 JSON。");
        QTest::newRow("empty file") << QByteArray()
                                    << QStringLiteral("无法读取每日导出额度记录：文件内容不是有效的 JSON。");
        QTest::newRow("a text count") << QByteArray("{\"a\":\"3\"}")
                                      << QStringLiteral("无法读取每日导出额度记录：记录“a”的题数不是整数。");
        QTest::newRow("a fractional count")
            << QByteArray("{\"[\\\"2026-12-08\\\",\\\"production\\\",\\\"u1\\\"]\":1.5}")
            << QStringLiteral("无法读取每日导出额度记录：记录“[\"2026-12-08\",\"production\",\"u1\"]”的题数不是整数。");
        QTest::newRow("an array") << QByteArray("[1,2]")
                                  << QStringLiteral("无法读取每日导出额度记录：文件内容不是 JSON 对象。");
    }

    // Starting the day afresh would lift its limit: the file is neither
    // repaired nor replaced, and every export is refused while it stands.
    void damagedLedgerRefusesEveryExportAndStaysAsItIs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        writeLedger(bytes);
        for (int attempt = 0; attempt < 2; ++attempt)
            QCOMPARE(run(set(4)), message);
        QCOMPARE(m_script->renders, 0);
        QVERIFY(!PdfExportQuota::isExporting());
        QFile kept(ledgerPath());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
        QCOMPARE(QDir(QFileInfo(ledgerPath()).absolutePath()).entryList(QDir::Files),
                 QStringList{QFileInfo(ledgerPath()).fileName()});
    }

    void unreadableLedgerRefusesAndStaysUntouched()
    {
        QDir().mkpath(ledgerPath()); // a folder where the file should be
        QCOMPARE(run(set(4)), QStringLiteral("无法读取每日导出额度记录：文件无法打开。"));
        QCOMPARE(m_script->renders, 0);
        QVERIFY(QFileInfo(ledgerPath()).isDir());
    }

    void reservationThatCannotBeSavedStopsTheExport()
    {
        // The ledger's folder is a file: nothing can be written.
        QDir().mkpath(m_dir.filePath(QStringLiteral("data")));
        QFile blocker(m_dir.filePath(QStringLiteral("data/Zevarud")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // The folder's own error, not a lock said to be held by another program.
        QCOMPARE(run(set(4)), QStringLiteral("无法创建文件夹 ") + QFileInfo(ledgerPath()).absolutePath());
        QCOMPARE(m_script->renders, 0);
        QVERIFY(!PdfExportQuota::isExporting());
    }

    void secondExportWhileOneRunsIsRefused()
    {
        m_script->pause = 100ms;
        QCoro::Task<> first = m_quota->exportPractice(set(3), QStringLiteral("t"), QStringLiteral("/tmp/x.pdf"),
                                                      QStringLiteral("production"), QStringLiteral("u1"),
                                                      [](const QString &) { });
        QVERIFY(PdfExportQuota::isExporting());
        QCOMPARE(run(set(2)), QStringLiteral("已有 PDF 正在导出，请稍后重试。"));
        QVERIFY(PdfExportQuota::isExporting()); // still the first one's
        QCOMPARE(QCoro::waitFor(outcome(std::move(first))), QString());
        QVERIFY(!PdfExportQuota::isExporting());
        QCOMPARE(m_script->renders, 1);
        QCOMPARE(ledgerOnDisk().value(today).toInteger(), 3);
    }
};

QTEST_GUILESS_MAIN(TestPdfQuota)
#include "tst_pdfquota.moc"
