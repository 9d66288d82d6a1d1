#include "ModelTestSupport.h"

#include "models/CommitExamRequest.h"
#include "models/CommitResult.h"
#include "models/HistoryReport.h"
#include "models/LenientJson.h"
#include "models/PracticeHistoryRecord.h"
#include "models/PracticeHistoryTab.h"

#include <QLocale>
#include <QTest>
#include <limits>
#include <time.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

// Sets the process time zone for the local-time formatting under test.
class TimeZoneScope
{
public:
    explicit TimeZoneScope(const QByteArray &zone) : m_previous(qgetenv("TZ")), m_hadPrevious(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneScope()
    {
        if (m_hadPrevious)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_previous;
    bool m_hadPrevious;
};

// Sets the program's locale, as the device's would be, for the formatting under test.
class LocaleScope
{
public:
    explicit LocaleScope(const QString &name) : m_previous(QLocale()) { QLocale::setDefault(QLocale(name)); }
    ~LocaleScope() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

} // namespace

class TestReportRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rightRate_data();
    void rightRate();
    void reportDecoding_data();
    void reportDecoding();
    void reportRoundTrip();
    void resumedQuestionModel_data();
    void resumedQuestionModel();
    void historyRecord_data();
    void historyRecord();
    void historyPageFailsOnOneBadRow();
    void formattedDate_data();
    void formattedDate();
    void formattedDateFollowsTheLocale_data();
    void formattedDateFollowsTheLocale();
    void commitResult_data();
    void commitResult();
    void commitRequest();
    void tabs();
};

void TestReportRecords::rightRate_data()
{
    QTest::addColumn<qint64>("right");
    QTest::addColumn<qint64>("wrong");
    QTest::addColumn<qint64>("unanswered");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("2 of 3") << qint64(2) << qint64(1) << qint64(0) << qint64(66);
    // Exact arithmetic: 29 of 100 is 29 (a double quotient times 100 gives 28).
    QTest::newRow("29 of 100") << qint64(29) << qint64(71) << qint64(0) << qint64(29);
    QTest::newRow("57 of 100") << qint64(57) << qint64(40) << qint64(3) << qint64(57);
    QTest::newRow("nothing") << qint64(0) << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("5 of 5") << qint64(5) << qint64(0) << qint64(0) << qint64(100);
    QTest::newRow("negative right") << qint64(-5) << qint64(10) << qint64(0) << qint64(0);
    QTest::newRow("more right than total") << qint64(10) << qint64(-5) << qint64(0) << qint64(100);
    QTest::newRow("negative total") << qint64(1) << qint64(-5) << qint64(0) << qint64(0);
    QTest::newRow("sum beyond 64 bits") << kMax << kMax << kMax << qint64(33);
    QTest::newRow("max right of max plus one") << kMax << qint64(1) << qint64(0) << qint64(99);
    QTest::newRow("one of max") << qint64(1) << kMax << qint64(0) << qint64(0);
    QTest::newRow("minimums") << kMin << kMin << kMin << qint64(0);
}

void TestReportRecords::rightRate()
{
    QFETCH(qint64, right);
    QFETCH(qint64, wrong);
    QFETCH(qint64, unanswered);
    QFETCH(qint64, expected);
    HistoryReport report;
    report.rightNum = right;
    report.wrongNum = wrong;
    report.unAnswerNum = unanswered;
    QCOMPARE(report.rightRate(), expected);
}

void TestReportRecords::reportDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qint64>("rightNum");
    QTest::addColumn<QString>("useTime");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("extraInfo"); // "<none>": absent
    QTest::addColumn<int>("questions");

    QTest::newRow("empty object") << QByteArray("{}") << qint64(0) << u"0"_s << u"练习报告"_s << u"<none>"_s << 0;
    QTest::newRow("rightNum string 7") << QByteArray(R"({"rightNum":"7"})") << qint64(7) << u"0"_s << u"练习报告"_s
                                       << u"<none>"_s << 0;
    QTest::newRow("rightNum string 7.5") << QByteArray(R"({"rightNum":"7.5"})") << qint64(0) << u"0"_s
                                         << u"练习报告"_s << u"<none>"_s << 0;
    QTest::newRow("rightNum letters") << QByteArray(R"({"rightNum":"seven"})") << qint64(0) << u"0"_s
                                      << u"练习报告"_s << u"<none>"_s << 0;
    QTest::newRow("rightNum 7.5") << QByteArray(R"({"rightNum":7.5})") << qint64(0) << u"0"_s << u"练习报告"_s
                                  << u"<none>"_s << 0;
    QTest::newRow("empty title kept") << QByteArray(R"({"title":""})") << qint64(0) << u"0"_s << QString()
                                      << u"<none>"_s << 0;
    QTest::newRow("useTime 125") << QByteArray(R"({"useTime":125})") << qint64(0) << u"125"_s << u"练习报告"_s
                                 << u"<none>"_s << 0;
    QTest::newRow("extraInfo null") << QByteArray(R"({"extraInfo":null})") << qint64(0) << u"0"_s << u"练习报告"_s
                                    << u"<none>"_s << 0;
    QTest::newRow("extraInfo empty") << QByteArray(R"({"extraInfo":""})") << qint64(0) << u"0"_s << u"练习报告"_s
                                     << u"<none>"_s << 0;
    QTest::newRow("extraInfo []") << QByteArray(R"({"extraInfo":"[]"})") << qint64(0) << u"0"_s << u"练习报告"_s
                                  << u"[]"_s << 0;
    QTest::newRow("question list with a bare string")
        << QByteArray(R"({"questionList":[{"id":"a"},"b"]})") << qint64(0) << u"0"_s << u"练习报告"_s << u"<none>"_s
        << 0;
    QTest::newRow("questions") << QByteArray(R"({"questionList":[{"id":"a","userAnswer":"B"},{}]})") << qint64(0)
                               << u"0"_s << u"练习报告"_s << u"<none>"_s << 2;
}

void TestReportRecords::reportDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(qint64, rightNum);
    QFETCH(QString, useTime);
    QFETCH(QString, title);
    QFETCH(QString, extraInfo);
    QFETCH(int, questions);
    const HistoryReport report = HistoryReport::fromJson(jsonValue(json));
    QCOMPARE(report.rightNum, rightNum);
    QCOMPARE(report.useTime, useTime);
    QCOMPARE(report.title, title);
    QCOMPARE(report.extraInfo.value_or(u"<none>"_s), extraInfo);
    QCOMPARE(report.questionList.size(), questions);
}

void TestReportRecords::reportRoundTrip()
{
    const HistoryReport report = HistoryReport::fromJson(jsonValue(
        R"({"rightNum":3,"wrongNum":1,"unAnswerNum":2,"useTime":"95","commitTime":"2023-11-14","title":"专项",
            "examId":"e","logId":"l","materialsList":[{"id":"m"}],"questionList":[{"id":"q","userAnswer":"A"}],
            "extraInfo":"[]"})"));
    const QJsonObject object = report.toJson();
    QCOMPARE(object.size(), 11);
    const HistoryReport decoded = HistoryReport::fromJson(object);
    QCOMPARE(decoded, report);
    QCOMPARE(qHash(decoded), qHash(report));
    HistoryReport withoutExtra = report;
    withoutExtra.extraInfo.reset();
    QVERIFY(!withoutExtra.toJson().contains("extraInfo"_L1));
    QVERIFY(withoutExtra != report);
    QVERIFY_THROWS_EXCEPTION(DecodingError, (void)HistoryReport::fromJson(jsonValue("[]")));
}

void TestReportRecords::resumedQuestionModel_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("recordID");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("userExamId");

    const QByteArray questions = R"("questionList":[{"id":"q0"},{"id":"q1"},{"id":"q2"}])";
    QTest::newRow("no extraInfo, empty logId") << "{" + questions + "}" << u"r9"_s
                                               << QStringList{u"q0"_s, u"q1"_s, u"q2"_s} << u"r9"_s;
    QTest::newRow("logId wins") << "{" + questions + R"(,"logId":"l5"})" << u"r9"_s
                                << QStringList{u"q0"_s, u"q1"_s, u"q2"_s} << u"l5"_s;
    QTest::newRow("extraInfo []") << "{" + questions + R"(,"extraInfo":"[]"})" << u"r9"_s
                                  << QStringList{u"q0"_s, u"q1"_s, u"q2"_s} << u"r9"_s;
    QTest::newRow("unreadable extraInfo") << "{" + questions + R"(,"extraInfo":"[{\"rangBegin\":0}]"})" << u"r9"_s
                                          << QStringList{u"q0"_s, u"q1"_s, u"q2"_s} << u"r9"_s;
    QTest::newRow("sections re-inserted")
        << "{" + questions +
               R"(,"logId":"l5","extraInfo":"[{\"rangBegin\":0,\"rangEnd\":0,\"title\":\"A\",\"des\":\"\"},)"
               R"({\"rangBegin\":1,\"rangEnd\":2,\"title\":\"B\",\"des\":\"\"}]"})"
        << u"r9"_s
        << QStringList{u"real-exam-section-0-0-0"_s, u"q0"_s, u"real-exam-section-1-1-2"_s, u"q1"_s, u"q2"_s}
        << u"l5"_s;
}

void TestReportRecords::resumedQuestionModel()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, recordID);
    QFETCH(QStringList, ids);
    QFETCH(QString, userExamId);
    HistoryReport report = HistoryReport::fromJson(jsonValue(json));
    report.materialsList = {Material{u"m"_s, QString(), QString()}};
    report.title = u"专项练习"_s;
    const QuestionModel model = report.resumedQuestionModel(recordID);
    QStringList actual;
    for (const Question &question : model.questionList)
        actual.append(question.id);
    QCOMPARE(actual, ids);
    QCOMPARE(model.userExamId, std::optional<QString>(userExamId));
    QCOMPARE(model.title, std::optional<QString>(u"专项练习"_s));
    QCOMPARE(model.materialsList, report.materialsList);
}

void TestReportRecords::historyRecord_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("id"); // empty: must fail
    QTest::addColumn<QString>("examName");
    QTest::addColumn<qint64>("examStatus");

    QTest::newRow("id 0") << QByteArray(R"({"id":0})") << u"0"_s << u"练习记录"_s << qint64(1);
    QTest::newRow("complete") << QByteArray(R"({"id":"r1","examName":"常识","examStatus":"2","beginTime":1700000000000})")
                              << u"r1"_s << u"常识"_s << qint64(2);
    QTest::newRow("empty id") << QByteArray(R"({"id":"","examName":"x"})") << QString() << QString() << qint64(0);
    QTest::newRow("null id") << QByteArray(R"({"id":null})") << QString() << QString() << qint64(0);
    QTest::newRow("missing id") << QByteArray(R"({"examName":"x"})") << QString() << QString() << qint64(0);
    QTest::newRow("object id") << QByteArray(R"({"id":{}})") << QString() << QString() << qint64(0);
}

void TestReportRecords::historyRecord()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, id);
    QFETCH(QString, examName);
    QFETCH(qint64, examStatus);
    try {
        const PracticeHistoryRecord record = PracticeHistoryRecord::fromJson(jsonValue(json));
        QVERIFY(!id.isEmpty());
        QCOMPARE(record.id, id);
        QCOMPARE(record.examName, examName);
        QCOMPARE(record.examStatus, examStatus);
    } catch (const DecodingError &error) {
        QVERIFY(id.isEmpty());
        QCOMPARE(error.kind(), DecodingError::Kind::dataCorrupted);
        QCOMPARE(error.codingPath(), QStringList{u"id"_s});
        QCOMPARE(error.debugDescription(), u"缺少练习记录 ID"_s);
        QVERIFY(error.localizedDescription().contains(u"缺少练习记录 ID"_s));
    }
}

void TestReportRecords::historyPageFailsOnOneBadRow()
{
    const QJsonValue page = jsonValue(R"([{"id":"a"},{"id":""},{"id":"c"}])");
    try {
        (void)decodeList<PracticeHistoryRecord>(page);
        QFAIL("a row without id must fail the page");
    } catch (const DecodingError &error) {
        QCOMPARE(error.codingPathText(), u"[1].id"_s);
    }
    QCOMPARE(decodeList<PracticeHistoryRecord>(jsonValue(R"([{"id":"a"},{"id":2}])")).size(), 2);
}

void TestReportRecords::formattedDate_data()
{
    QTest::addColumn<QString>("beginTime");
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("expected");

    const QString unknown = u"时间未知"_s;
    // 1700000000000 ms is 2023-11-14 22:13:20 UTC.
    QTest::newRow("UTC") << u"1700000000000"_s << QByteArray("UTC0") << u"2023-11-14 22:13"_s;
    QTest::newRow("UTC+8") << u"1700000000000"_s << QByteArray("CST-8") << u"2023-11-15 06:13"_s;
    QTest::newRow("exponent form") << u"1.7e12"_s << QByteArray("UTC0") << u"2023-11-14 22:13"_s;
    QTest::newRow("fraction") << u"1700000039999.9"_s << QByteArray("UTC0") << u"2023-11-14 22:13"_s;
    QTest::newRow("hex one millisecond") << u"0x1"_s << QByteArray("UTC0") << u"1970-01-01 00:00"_s;
    QTest::newRow("last of year 9999") << u"253402300799999"_s << QByteArray("UTC0") << u"9999-12-31 23:59"_s;
    QTest::newRow("empty") << QString() << QByteArray("UTC0") << unknown;
    QTest::newRow("zero") << u"0"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("negative") << u"-5"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("leading blank") << u" 1700000000000"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("trailing blank") << u"1700000000000 "_s << QByteArray("UTC0") << unknown;
    QTest::newRow("date text") << u"2023-11-14 22:13"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("inf") << u"inf"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("infinity") << u"Infinity"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("nan") << u"nan"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("1e400") << u"1e400"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("year 10000") << u"253402300800000"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("int64 max") << u"9223372036854775807"_s << QByteArray("UTC0") << unknown;
    QTest::newRow("beyond int64") << u"1e19"_s << QByteArray("UTC0") << unknown;
}

void TestReportRecords::formattedDate()
{
    QFETCH(QString, beginTime);
    QFETCH(QByteArray, zone);
    QFETCH(QString, expected);
    const TimeZoneScope scope(zone);
    PracticeHistoryRecord record;
    record.id = u"r"_s;
    record.beginTime = beginTime;
    QCOMPARE(record.formattedDate(), expected);
}

void TestReportRecords::formattedDateFollowsTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Chinese, UTC+8") << u"zh_CN"_s << QByteArray("CST-8") << u"2023-11-15 06:13"_s;
    QTest::newRow("Arabic digits, UTC") << u"ar_EG"_s << QByteArray("UTC0") << u"٢٠٢٣-١١-١٤ ٢٢:١٣"_s;
    QTest::newRow("Persian digits, UTC+8") << u"fa_IR"_s << QByteArray("CST-8") << u"۲۰۲۳-۱۱-۱۵ ۰۶:۱۳"_s;
}

void TestReportRecords::formattedDateFollowsTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, zone);
    QFETCH(QString, expected);
    const TimeZoneScope zoneScope(zone);
    const LocaleScope localeScope(locale);
    PracticeHistoryRecord record;
    record.id = u"r"_s;
    record.beginTime = u"1700000000000"_s;
    QCOMPARE(record.formattedDate(), expected);
    record.beginTime = u"0"_s;
    QCOMPARE(record.formattedDate(), u"时间未知"_s);
}

void TestReportRecords::commitResult_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");

    QTest::newRow("complete") << QByteArray(R"({"rightNum":3,"useTime":"30","wrongNum":1,"unAnswerNum":0})") << true;
    QTest::newRow("useTime number") << QByteArray(R"({"rightNum":3,"useTime":30,"wrongNum":1,"unAnswerNum":0})")
                                    << false;
    QTest::newRow("rightNum string") << QByteArray(R"({"rightNum":"3","useTime":"30","wrongNum":1,"unAnswerNum":0})")
                                     << false;
    QTest::newRow("missing unAnswerNum") << QByteArray(R"({"rightNum":3,"useTime":"30","wrongNum":1})") << false;
    QTest::newRow("null wrongNum") << QByteArray(R"({"rightNum":3,"useTime":"30","wrongNum":null,"unAnswerNum":0})")
                                   << false;
    QTest::newRow("not an object") << QByteArray("true") << false;
}

void TestReportRecords::commitResult()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);
    try {
        const CommitResult result = CommitResult::fromJson(jsonValue(json));
        QVERIFY(decodes);
        QCOMPARE(QJsonValue(result.toJson()), jsonValue(json));
    } catch (const DecodingError &) {
        QVERIFY(!decodes);
    }
}

void TestReportRecords::commitRequest()
{
    const CommitExamRequest request{u"log7"_s, 95, {{u"q1"_s, u"AC"_s, 47}, {u"q2"_s, QString(), 47}}};
    QCOMPARE(compactJson(request.toJson()),
             QByteArray(R"({"costTime":95,"userAnswerList":[{"questionId":"q1","useTime":47,"userAnswer":"AC"},)"
                        R"({"questionId":"q2","useTime":47,"userAnswer":""}],"userExamId":"log7"})"));
    QCOMPARE(request.toJson().value("userExamId"_L1), QJsonValue(u"log7"_s));
    QCOMPARE(CommitExamRequest::fromJson(request.toJson()), request);
    QCOMPARE(compactJson(CommitExamRequest{}.toJson()), QByteArray(R"({"costTime":0,"userAnswerList":[],"userExamId":""})"));
    QVERIFY_THROWS_EXCEPTION(
        DecodingError,
        (void)CommitExamRequest::fromJson(jsonValue(R"({"userExamId":"l","costTime":1,"userAnswerList":[{"questionId":"q"}]})")));
}

void TestReportRecords::tabs()
{
    QCOMPARE(PracticeHistoryTabs::allCases(),
             (QList<PracticeHistoryTab>{PracticeHistoryTab::practice, PracticeHistoryTab::paper}));
    QCOMPARE(PracticeHistoryTabs::fromRawValue(1), std::optional(PracticeHistoryTab::practice));
    QCOMPARE(PracticeHistoryTabs::fromRawValue(2), std::optional(PracticeHistoryTab::paper));
    QVERIFY(!PracticeHistoryTabs::fromRawValue(3).has_value());
    QVERIFY(!PracticeHistoryTabs::fromRawValue(0).has_value());
    QCOMPARE(PracticeHistoryTabs::id(PracticeHistoryTab::paper), qint64(2));
}

QTEST_GUILESS_MAIN(TestReportRecords)
#include "tst_reportrecords.moc"
