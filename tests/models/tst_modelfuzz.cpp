#include "ModelTestSupport.h"

#include "models/CardMenu.h"
#include "models/CommitExamRequest.h"
#include "models/CommitResult.h"
#include "models/ExamBank.h"
#include "models/HistoryReport.h"
#include "models/LenientJson.h"
#include "models/LoginResponse.h"
#include "models/PracticeHistoryRecord.h"
#include "models/QuestionModel.h"
#include "models/RealExamDetail.h"
#include "models/RealExamDetailRequest.h"
#include "models/RealExamListRequest.h"
#include "models/RealExamSummary.h"
#include "models/VIPStatusCache.h"
#include "models/VIPStatusResponse.h"
#include "platform/Clock.h"

#include <QRandomGenerator>
#include <QTest>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QStringList kKeys = {
    u"id"_s, u"name"_s, u"isShow"_s, u"examBankList"_s, u"examBankId"_s, u"questionType"_s, u"menuType"_s,
    u"parentId"_s, u"cnt"_s, u"userWorkCnt"_s, u"needVip"_s, u"children"_s, u"mobile"_s, u"token"_s,
    u"analysis"_s, u"answer"_s, u"context"_s, u"examId"_s, u"materialsId"_s, u"menuId"_s, u"note"_s,
    u"questionFrom"_s, u"questionOptions"_s, u"useTime"_s, u"userAnswer"_s, u"isCollect"_s, u"sectionIntro"_s,
    u"title"_s, u"description"_s, u"questionCount"_s, u"materialsList"_s, u"questionList"_s, u"userExamId"_s,
    u"remark"_s, u"userExamLogId"_s, u"extraInfo"_s, u"rangBegin"_s, u"rangEnd"_s, u"des"_s, u"current"_s,
    u"pageSize"_s, u"questionId"_s, u"costTime"_s, u"userAnswerList"_s, u"rightNum"_s, u"wrongNum"_s,
    u"unAnswerNum"_s, u"commitTime"_s, u"logId"_s, u"examName"_s, u"examStatus"_s, u"beginTime"_s,
    u"expireTime"_s, u"currentTime"_s, u"userVipList"_s, u"serverCurrentTimeMilliseconds"_s,
    u"fetchedAtMilliseconds"_s};

const QStringList kTexts = {
    QString(), u" "_s, u"0"_s, u"-0"_s, u"+12"_s, u"007"_s, u"12.9"_s, u"1e400"_s, u"-1e400"_s, u"1e-400"_s,
    u"nan"_s, u"inf"_s, u"-Infinity"_s, u"0x1A"_s, u"0x1p70"_s, u" 5"_s, u"5 "_s, u"9223372036854775807"_s,
    u"9223372036854775808"_s, u"-9223372036854775808"_s, u"99999999999999999999"_s, u"1.7e12"_s, u"AC"_s,
    u"a, c;C"_s, u"ß"_s, u"正确"_s, u"<p>题干</p>"_s, u"[]"_s, u"[{"_s, u"\u0000"_s,
    uR"([{"rangBegin":0,"rangEnd":2,"title":"A","des":""},{"rangBegin":9223372036854775807,"rangEnd":-9223372036854775808,"title":"B","des":"d"}])"_s,
    uR"([{"rangBegin":-5,"rangEnd":3,"title":"N","des":""}])"_s};

const QList<double> kNumbers = {0.0, -0.0, 1.0, 2.0, 3.0, -1.0, 0.5, 2.5, 1e3, 1e19, -1e19, 1.7e12, 9.2233720368547758e18,
                                -9.2233720368547758e18, 1e300, -1e300, 5e-324, 4.9e15};

class Generator
{
public:
    explicit Generator(quint32 seed) : m_random(seed) { }

    QJsonValue value(int depth)
    {
        const int kind = int(m_random.bounded(depth > 0 ? 10 : 7));
        switch (kind) {
        case 0:
            return QJsonValue(QJsonValue::Null);
        case 1:
            return QJsonValue(m_random.bounded(2) == 1);
        case 2:
            return QJsonValue(integer());
        case 3:
            return QJsonValue(kNumbers.at(qsizetype(m_random.bounded(kNumbers.size()))));
        case 4:
        case 5:
            return QJsonValue(text());
        case 6:
            return QJsonValue(double(m_random.generateDouble() * 1e6 - 5e5));
        case 7:
            return array(depth - 1);
        default:
            return object(depth - 1);
        }
    }

    QJsonObject object(int depth)
    {
        QJsonObject result;
        const int members = int(m_random.bounded(12));
        for (int i = 0; i < members; ++i)
            result.insert(kKeys.at(qsizetype(m_random.bounded(kKeys.size()))), value(depth));
        return result;
    }

    // A valid object of one of the strict records, with some members replaced,
    // removed or added, so that strict decoders both succeed and just fail.
    QJsonObject shaped(int depth)
    {
        static const QList<QByteArray> templates = {
            R"({"id":"u","mobile":"m","token":"t"})",
            R"({"rightNum":1,"useTime":"3","wrongNum":2,"unAnswerNum":0})",
            R"({"serverCurrentTimeMilliseconds":1,"fetchedAtMilliseconds":2,"userVipList":[{"examBankId":"b","expireTime":"5"}]})",
            R"({"title":"t","description":"d","questionCount":3})",
            R"({"rangBegin":0,"rangEnd":3,"title":"t","des":"d"})",
            R"({"examBankId":"b","current":1,"pageSize":10,"id":"p"})",
            R"({"userExamId":"l","costTime":9,"userAnswerList":[{"questionId":"q","userAnswer":"A","useTime":3}]})",
            R"({"questionList":[{},{"id":1,"sectionIntro":{"title":"t","description":"d","questionCount":1}}],"materialsList":[{}]})",
            R"({"examBankList":[{"id":1},{"name":"n"}]})",
        };
        QJsonObject result = QJsonDocument::fromJson(templates.at(qsizetype(m_random.bounded(templates.size())))).object();
        const QStringList keys = result.keys();
        for (const QString &key : keys) {
            const quint32 roll = m_random.bounded(10);
            if (roll == 0)
                result.remove(key);
            else if (roll == 1)
                result.insert(key, value(depth));
        }
        if (m_random.bounded(3) == 0)
            result.insert(kKeys.at(qsizetype(m_random.bounded(kKeys.size()))), value(depth));
        return result;
    }

    QJsonArray array(int depth)
    {
        QJsonArray result;
        const int elements = int(m_random.bounded(4));
        // Mostly objects, so that record lists get deep; sometimes anything.
        for (int i = 0; i < elements; ++i)
            result.append(m_random.bounded(4) == 0 ? value(depth) : QJsonValue(object(depth)));
        return result;
    }

    qint64 integer()
    {
        switch (m_random.bounded(5)) {
        case 0:
            return std::numeric_limits<qint64>::max() - qint64(m_random.bounded(3));
        case 1:
            return std::numeric_limits<qint64>::min() + qint64(m_random.bounded(3));
        case 2:
            return qint64(m_random.generate64());
        default:
            return qint64(m_random.bounded(7)) - 2;
        }
    }

    QString text()
    {
        if (m_random.bounded(3) == 0) {
            QString random;
            const int length = int(m_random.bounded(6));
            for (int i = 0; i < length; ++i)
                random.append(QChar(char16_t(m_random.bounded(0x20, 0x3000))));
            return random;
        }
        return kTexts.at(qsizetype(m_random.bounded(kTexts.size())));
    }

    QRandomGenerator &random() { return m_random; }

private:
    QRandomGenerator m_random;
};

// Decoding a record, using its rules, and checking that what it encodes decodes
// to the same JSON again.
template<class T>
void roundTrip(const T &record)
{
    const QJsonObject first = record.toJson();
    const QJsonObject second = T::fromJson(first).toJson();
    if (first != second)
        throw std::logic_error("encoding does not survive decoding");
}

void checkQuestions(const QList<Question> &questions)
{
    for (const Question &question : questions) {
        (void)question.isCorrect(question.answer);
        (void)question.isCorrect(question.userAnswer);
    }
}

using Decoder = std::function<void(const QJsonValue &)>;

const QList<QPair<const char *, Decoder>> &decoders()
{
    static const QList<QPair<const char *, Decoder>> list = {
        {"LoginResponse", [](const QJsonValue &v) { roundTrip(LoginResponse::fromJson(v)); }},
        {"ExamBank", [](const QJsonValue &v) { roundTrip(ExamBank::fromJson(v)); }},
        {"InitConfigResponse", [](const QJsonValue &v) { (void)InitConfigResponse::fromJson(v); }},
        {"CardMenu", [](const QJsonValue &v) { roundTrip(CardMenu::fromJson(v)); }},
        {"CardMenu list", [](const QJsonValue &v) { (void)decodeList<CardMenu>(v); }},
        {"Material", [](const QJsonValue &v) { roundTrip(Material::fromJson(v)); }},
        {"Question",
         [](const QJsonValue &v) {
             const Question question = Question::fromJson(v);
             checkQuestions({question});
             roundTrip(question);
         }},
        {"QuestionSectionIntro", [](const QJsonValue &v) { roundTrip(QuestionSectionIntro::fromJson(v)); }},
        {"QuestionModel",
         [](const QJsonValue &v) {
             const QuestionModel model = QuestionModel::fromJson(v);
             checkQuestions(model.questionList);
             roundTrip(model);
         }},
        {"RealExamSummary list", [](const QJsonValue &v) { (void)decodeList<RealExamSummary>(v); }},
        {"RealExamSummary", [](const QJsonValue &v) { roundTrip(RealExamSummary::fromJson(v)); }},
        {"RealExamSection", [](const QJsonValue &v) { roundTrip(RealExamSection::fromJson(v)); }},
        {"RealExamDetail",
         [](const QJsonValue &v) {
             const RealExamDetail detail = RealExamDetail::fromJson(v);
             const QuestionModel model = detail.questionModel();
             if (model.questionList.size() != detail.questionList.size() + detail.sections().size())
                 throw std::logic_error("section intros lost or duplicated");
         }},
        {"RealExamListRequest", [](const QJsonValue &v) { roundTrip(RealExamListRequest::fromJson(v)); }},
        {"RealExamDetailRequest", [](const QJsonValue &v) { roundTrip(RealExamDetailRequest::fromJson(v)); }},
        {"CommitExamRequest", [](const QJsonValue &v) { roundTrip(CommitExamRequest::fromJson(v)); }},
        {"CommitResult", [](const QJsonValue &v) { roundTrip(CommitResult::fromJson(v)); }},
        {"HistoryReport",
         [](const QJsonValue &v) {
             const HistoryReport report = HistoryReport::fromJson(v);
             const qint64 rate = report.rightRate();
             if (rate < 0 || rate > 100)
                 throw std::logic_error("correct rate outside 0...100");
             const QuestionModel model = report.resumedQuestionModel(u"r"_s);
             if (!model.userExamId || model.userExamId->isEmpty())
                 throw std::logic_error("resumed set without exam id");
             roundTrip(report);
         }},
        {"PracticeHistoryRecord list",
         [](const QJsonValue &v) {
             for (const PracticeHistoryRecord &record : decodeList<PracticeHistoryRecord>(v)) {
                 if (record.id.isEmpty() || record.formattedDate().isEmpty())
                     throw std::logic_error("history row without id or date text");
             }
         }},
        {"VIPStatusResponse",
         [](const QJsonValue &v) {
             const VIPStatusResponse response = VIPStatusResponse::fromJson(v);
             const VIPStatusCache cache{response.currentTimeMilliseconds, Clock::shared().nowMilliseconds(),
                                        response.userVipList};
             for (const VIPExpireItem &item : cache.userVipList)
                 (void)cache.containsValidMembership(item.examBankId);
             roundTrip(cache);
         }},
        {"VIPStatusCache",
         [](const QJsonValue &v) {
             const VIPStatusCache cache = VIPStatusCache::fromJson(v);
             (void)cache.containsValidMembership(QString());
             roundTrip(cache);
         }},
    };
    return list;
}

// Runs every decoder on one value; a record or a DecodingError is fine,
// anything else is a failure reported with the input.
bool feed(const QJsonValue &value, QString *failure)
{
    for (const auto &[name, decode] : decoders()) {
        try {
            decode(value);
        } catch (const DecodingError &) {
        } catch (const std::exception &error) {
            *failure = QStringLiteral("%1: %2 on %3")
                           .arg(QLatin1StringView(name), QString::fromUtf8(error.what()),
                                QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)));
            return false;
        } catch (...) {
            *failure = QStringLiteral("%1: unexpected exception").arg(QLatin1StringView(name));
            return false;
        }
    }
    return true;
}

} // namespace

class TestModelFuzz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Clock::setShared(&m_clock); }
    void cleanup() { Clock::setShared(nullptr); }
    void randomValues();
    void truncatedAndMutatedText();

private:
    ManualClock m_clock{1700000000000};
};

void TestModelFuzz::randomValues()
{
    Generator generator(0x5eed0001);
    QString failure;
    for (int i = 0; i < 4000; ++i) {
        QJsonValue value;
        switch (i % 5) {
        case 0:
            value = generator.value(4);
            break;
        case 1:
        case 2:
            value = generator.shaped(3);
            break;
        default:
            value = generator.object(4);
        }
        if (!feed(value, &failure))
            QFAIL(qPrintable(failure));
    }
}

void TestModelFuzz::truncatedAndMutatedText()
{
    Generator generator(0x5eed0002);
    // Realistic replies as text, cut short or with bytes changed.
    const QList<QByteArray> samples = {
        R"({"questionList":[{"id":1,"questionType":"2","answer":"AC","questionOptions":["a","b"],)"
        R"("sectionIntro":{"title":"t","description":"d","questionCount":3}}],"materialsList":[{"id":"m"}],"userExamId":9})",
        R"({"rightNum":"7","wrongNum":3,"title":"","logId":"","extraInfo":"[{\"rangBegin\":0,\"rangEnd\":1,\"title\":\"A\",\"des\":\"\"}]",)"
        R"("questionList":[{"id":"q"}]})",
        R"([{"id":"r1","beginTime":"1.7e12","examStatus":2},{"id":0,"beginTime":"inf"}])",
        R"({"currentTime":"5000","userVipList":[{"examBankId":103,"expireTime":"9223372036854775807"}]})",
        R"({"serverCurrentTimeMilliseconds":1,"fetchedAtMilliseconds":-9223372036854775808,"userVipList":[{}]})",
        R"([{"id":"c","cnt":"12","children":[{"id":"g","children":null}],"parentId":0}])",
    };
    QString failure;
    int parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray text = samples.at(round % samples.size());
        QRandomGenerator &random = generator.random();
        if (round % 2 == 0) {
            text.truncate(qsizetype(random.bounded(text.size() + 1)));
        } else {
            const int changes = 1 + int(random.bounded(3));
            for (int i = 0; i < changes; ++i)
                text[qsizetype(random.bounded(text.size()))] = char(random.bounded(0x20, 0x7f));
        }
        const QJsonDocument document = QJsonDocument::fromJson(text);
        if (document.isNull())
            continue;
        ++parsed;
        const QJsonValue value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
        if (!feed(value, &failure))
            QFAIL(qPrintable(failure));
    }
    QVERIFY(parsed > 100); // the mutations must leave enough valid documents to matter
}

QTEST_GUILESS_MAIN(TestModelFuzz)
#include "tst_modelfuzz.moc"
