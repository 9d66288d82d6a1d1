// Envelope, error texts, request bodies, handshake data and diagnostics.

#include "models/LenientJson.h"
#include "models/QuestionModel.h"
#include "networking/APIEnvelope.h"
#include "networking/APIError.h"
#include "networking/CryptoDiagnostics.h"
#include "networking/HandshakeData.h"
#include "networking/RequestBodies.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

#include <limits>

namespace {

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject parse(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

// The outcome of decoding an envelope as text: "ok success=… code=… message=…
// data=…" or "error <kind>".
template<class T>
QString envelopeOutcome(const QByteArray &json, const std::function<QString(const T &)> &show)
{
    try {
        const APIEnvelope<T> envelope = APIEnvelope<T>::decode(json);
        return QStringLiteral("ok success=%1 code=%2 message=%3 data=%4")
            .arg(envelope.success ? QStringLiteral("true") : QStringLiteral("false"),
                 envelope.errCode.value_or(QStringLiteral("-")), envelope.errMessage.value_or(QStringLiteral("-")),
                 envelope.data ? show(*envelope.data) : QStringLiteral("-"));
    } catch (const DecodingError &error) {
        switch (error.kind()) {
        case DecodingError::Kind::keyNotFound:
            return QStringLiteral("error keyNotFound");
        case DecodingError::Kind::valueNotFound:
            return QStringLiteral("error valueNotFound");
        case DecodingError::Kind::typeMismatch:
            return QStringLiteral("error typeMismatch");
        case DecodingError::Kind::dataCorrupted:
            return QStringLiteral("error dataCorrupted");
        }
    }
    return {};
}

} // namespace

class tst_NetworkRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void apiErrorTexts_data();
    void apiErrorTexts();

    void envelopeOfRecord_data();
    void envelopeOfRecord();
    void malformedReplyTextIsChinese_data();
    void malformedReplyTextIsChinese();
    void envelopeOfBool_data();
    void envelopeOfBool();
    void envelopeOfList();
    void envelopeFuzz();

    void requestBodiesEncode_data();
    void requestBodiesEncode();
    void requestBodiesDecodeStrictly_data();
    void requestBodiesDecodeStrictly();

    void handshakeDecodeInt_data();
    void handshakeDecodeInt();
    void handshakeExpiry_data();
    void handshakeExpiry();
    void handshakeEnvelope_data();
    void handshakeEnvelope();

    void diagnosticsFormOnce();
};

void tst_NetworkRecords::apiErrorTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("server 502") << APIError::server(502).localizedDescription()
                                << QStringLiteral("服务器错误\uFF08HTTP 502\uFF09");
    QTest::newRow("server 430") << APIError::server(430).localizedDescription() << QStringLiteral("服务器错误（HTTP 430）");
    QTest::newRow("server 10000, no grouping") << APIError::server(10000).localizedDescription()
                                               << QStringLiteral("服务器错误（HTTP 10000）");
    QTest::newRow("api shows the message") << APIError::api(QStringLiteral("E1"), QStringLiteral("题库不存在"))
                                                  .localizedDescription()
                                           << QStringLiteral("题库不存在");
    QTest::newRow("api with empty message") << APIError::api(QStringLiteral("E1"), QString()).localizedDescription()
                                            << QString();
    QTest::newRow("invalidURL") << APIError::invalidURL().localizedDescription() << QStringLiteral("接口地址无效");
    QTest::newRow("invalidResponse") << APIError::invalidResponse().localizedDescription()
                                     << QStringLiteral("服务器响应无效");
    QTest::newRow("unauthorized") << APIError::unauthorized().localizedDescription()
                                  << QStringLiteral("登录已失效\uFF0C请重新登录");
    QTest::newRow("vipRequired") << APIError::vipRequired().localizedDescription()
                                 << QStringLiteral("当前题库需要会员权限");
    QTest::newRow("missingData") << APIError::missingData().localizedDescription()
                                 << QStringLiteral("服务器没有返回业务数据");
}

void tst_NetworkRecords::apiErrorTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void tst_NetworkRecords::envelopeOfRecord_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("success only") << QByteArray(R"({"success":true})") << "ok success=true code=- message=- data=-";
    QTest::newRow("data null") << QByteArray(R"({"success":true,"data":null})")
                               << "ok success=true code=- message=- data=-";
    QTest::newRow("full failure") << QByteArray(R"({"success":false,"errCode":"430","errMessage":"会话失效"})")
                                  << "ok success=false code=430 message=会话失效 data=-";
    QTest::newRow("code and message null") << QByteArray(R"({"success":false,"errCode":null,"errMessage":null})")
                                           << "ok success=false code=- message=- data=-";
    QTest::newRow("extra keys ignored") << QByteArray(R"({"success":true,"traceId":9,"data":{"questionList":[]}})")
                                        << "ok success=true code=- message=- data=0 questions";
    QTest::newRow("success as number") << QByteArray(R"({"success":1})") << "error typeMismatch";
    QTest::newRow("success as string") << QByteArray(R"({"success":"true"})") << "error typeMismatch";
    QTest::newRow("success null") << QByteArray(R"({"success":null})") << "error valueNotFound";
    QTest::newRow("success missing") << QByteArray(R"({"data":{}})") << "error keyNotFound";
    QTest::newRow("keys are case-sensitive") << QByteArray(R"({"Success":true})") << "error keyNotFound";
    QTest::newRow("code as number") << QByteArray(R"({"success":false,"errCode":430})") << "error typeMismatch";
    QTest::newRow("message as number") << QByteArray(R"({"success":false,"errMessage":5})") << "error typeMismatch";
    QTest::newRow("data fails its record") << QByteArray(R"({"success":true,"data":{}})") << "error keyNotFound";
    QTest::newRow("data fails even on failure") << QByteArray(R"({"success":false,"errCode":"1","data":7})")
                                                << "error typeMismatch";
    QTest::newRow("not an object") << QByteArray(R"([{"success":true}])") << "error typeMismatch";
    QTest::newRow("not JSON") << QByteArray("{\"success\":tru") << "error dataCorrupted";
}

void tst_NetworkRecords::envelopeOfRecord()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, outcome);
    const QString actual = envelopeOutcome<QuestionModel>(json, [](const QuestionModel &model) {
        return QString::number(model.questionList.size()) + QStringLiteral(" questions");
    });
    QCOMPARE(actual, outcome);
}

void tst_NetworkRecords::malformedReplyTextIsChinese_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("reason");

    QTest::newRow("bad literal") << QByteArray("{\"success\":tru}") << QStringLiteral("无效的值");
    QTest::newRow("no colon") << QByteArray("{\"success\" true}") << QStringLiteral("字段名后缺少冒号");
    QTest::newRow("no comma between members") << QByteArray("{\"success\":true \"data\":1}")
                                              << QStringLiteral("对象缺少结尾");
    QTest::newRow("no comma in a list") << QByteArray("{\"data\":[1 2]}") << QStringLiteral("值之间缺少逗号");
    QTest::newRow("cut off") << QByteArray("{\"success\":true") << QStringLiteral("无效的值");
    QTest::newRow("open string") << QByteArray("{\"success") << QStringLiteral("文本缺少结尾引号");
    QTest::newRow("trailing bytes") << QByteArray("{\"success\":true}x") << QStringLiteral("结尾有多余内容");
    QTest::newRow("bad escape") << QByteArray("{\"errMessage\":\"\\u12zz\"}") << QStringLiteral("无效的转义字符");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("无效的值");
}

void tst_NetworkRecords::malformedReplyTextIsChinese()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, reason);
    try {
        (void)APIEnvelope<QuestionModel>::decode(json);
        QFAIL("a malformed reply was accepted");
    } catch (const DecodingError &error) {
        QCOMPARE(error.kind(), DecodingError::Kind::dataCorrupted);
        const QString text = error.localizedDescription();
        QVERIFY2(text.startsWith(QStringLiteral("数据解析失败：") + reason + QStringLiteral("（第 ")), qPrintable(text));
        // The parser's own English words must not leak through.
        for (const QChar c : text)
            QVERIFY2(!c.isLetter() || c.unicode() > 0x7f, qPrintable(text));
    }
}

void tst_NetworkRecords::envelopeOfBool_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("true") << QByteArray(R"({"success":true,"data":true})") << "ok success=true code=- message=- data=true";
    QTest::newRow("false stays false") << QByteArray(R"({"success":true,"data":false})")
                                       << "ok success=true code=- message=- data=false";
    QTest::newRow("missing") << QByteArray(R"({"success":true})") << "ok success=true code=- message=- data=-";
    QTest::newRow("null") << QByteArray(R"({"success":true,"data":null})") << "ok success=true code=- message=- data=-";
    QTest::newRow("number 1") << QByteArray(R"({"success":true,"data":1})") << "error typeMismatch";
    QTest::newRow("string true") << QByteArray(R"({"success":true,"data":"true"})") << "error typeMismatch";
}

void tst_NetworkRecords::envelopeOfBool()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, outcome);
    const QString actual = envelopeOutcome<bool>(
        json, [](const bool &value) { return value ? QStringLiteral("true") : QStringLiteral("false"); });
    QCOMPARE(actual, outcome);
}

void tst_NetworkRecords::envelopeOfList()
{
    const auto show = [](const QList<QuestionModel> &list) { return QString::number(list.size()); };
    QCOMPARE(envelopeOutcome<QList<QuestionModel>>(R"({"success":true,"data":[]})", show),
             QStringLiteral("ok success=true code=- message=- data=0"));
    QCOMPARE(envelopeOutcome<QList<QuestionModel>>(R"({"success":true,"data":{}})", show),
             QStringLiteral("error typeMismatch"));
    QCOMPARE(envelopeOutcome<QList<QuestionModel>>(R"({"success":true,"data":[{"questionList":[]}, 3]})", show),
             QStringLiteral("error typeMismatch"));
}

void tst_NetworkRecords::envelopeFuzz()
{
    // Random and mangled envelopes: an envelope or a DecodingError, nothing else.
    QRandomGenerator random(99);
    const QList<QByteArray> seeds = {
        R"({"success":true,"data":{"questionList":[{"id":"1","type":1}],"materialsList":[]}})",
        R"({"success":false,"errCode":"430","errMessage":"x","data":null})",
        R"({"success":true,"data":[true,false]})",
    };
    int decoded = 0;
    int failed = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray json = seeds.at(round % seeds.size());
        const int edits = random.bounded(1, 5);
        for (int e = 0; e < edits && !json.isEmpty(); ++e) {
            const qsizetype at = random.bounded(json.size());
            switch (random.bounded(4)) {
            case 0:
                json[at] = char(random.bounded(256));
                break;
            case 1:
                json.truncate(at);
                break;
            case 2:
                json.remove(at, 1);
                break;
            default:
                json.insert(at, "{}[]\",:0tn"[random.bounded(10)]);
                break;
            }
        }
        try {
            (void)APIEnvelope<QuestionModel>::decode(json);
            (void)APIEnvelope<bool>::decode(json);
            ++decoded;
        } catch (const DecodingError &) {
            ++failed;
        }
    }
    QVERIFY(failed > 0);
    QVERIFY(decoded > 0);
}

void tst_NetworkRecords::requestBodiesEncode_data()
{
    QTest::addColumn<QJsonObject>("encoded");
    QTest::addColumn<QByteArray>("expected");

    // Qt writes keys in sorted order; the service reads an object, not an order.
    QTest::newRow("empty is {}") << EmptyRequest {}.toJson() << QByteArray("{}");
    QTest::newRow("send code") << SendVerifyCodeRequest {QStringLiteral("13800138000")}.toJson()
                               << QByteArray(R"({"mobile":"13800138000"})");
    QTest::newRow("login with empty code") << LoginRequest {QStringLiteral("13800138000"), QString()}.toJson()
                                           << QByteArray(R"({"mobile":"13800138000","verifyCode":""})");
    QTest::newRow("init config") << InitConfigRequest {QStringLiteral("b1")}.toJson()
                                 << QByteArray(R"({"examBankId":"b1"})");
    QTest::newRow("card menu") << CardMenuRequest {QStringLiteral("b1"), 2}.toJson()
                               << QByteArray(R"({"id":"b1","type":2})");
    QTest::newRow("report") << ReportRequest {QStringLiteral("r9")}.toJson() << QByteArray(R"({"id":"r9"})");
    QTest::newRow("question type 0 is written")
        << QuestionRequest {QStringLiteral("b1"), QStringLiteral("m1"), 20, 0}.toJson()
        << QByteArray(R"({"examBankId":"b1","menuId":"m1","pageSize":20,"questionType":0})");
    QTest::newRow("history page numbers are numbers")
        << PracticeHistoryListRequest {QStringLiteral("b1"), 1, 10, 2}.toJson()
        << QByteArray(R"({"current":1,"examBankId":"b1","examType":2,"pageSize":10})");
    QTest::newRow("delete none") << DeletePracticeHistoryRequest {}.toJson() << QByteArray(R"({"ids":[]})");
    QTest::newRow("delete one") << DeletePracticeHistoryRequest {{QStringLiteral("9")}}.toJson()
                                << QByteArray(R"({"ids":["9"]})");
    QTest::newRow("uncollect keeps false")
        << ManageCollectionRequest {QStringLiteral("b1"), QStringLiteral("q1"), false}.toJson()
        << QByteArray(R"({"collect":false,"examBankId":"b1","questionId":"q1"})");
    QTest::newRow("collection list") << CollectionListRequest {QStringLiteral("b1"), 1, 25, QStringLiteral("f1")}.toJson()
                                     << QByteArray(R"({"current":1,"examBankId":"b1","menuId":"f1","pageSize":25})");
    QTest::newRow("large integer stays exact")
        << CardMenuRequest {QStringLiteral("b"), std::numeric_limits<qint64>::max()}.toJson()
        << QByteArray(R"({"id":"b","type":9223372036854775807})");
}

void tst_NetworkRecords::requestBodiesEncode()
{
    QFETCH(QJsonObject, encoded);
    QFETCH(QByteArray, expected);
    QCOMPARE(compact(encoded), expected);
}

void tst_NetworkRecords::requestBodiesDecodeStrictly_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("card menu") << QByteArray(R"({"id":"b1","type":2})") << "ok";
    QTest::newRow("card menu with extra key") << QByteArray(R"({"id":"b1","type":2,"x":1})") << "ok";
    QTest::newRow("card menu type as digits") << QByteArray(R"({"id":"b1","type":"2"})") << "typeMismatch";
    QTest::newRow("card menu without type") << QByteArray(R"({"id":"b1"})") << "keyNotFound";
    QTest::newRow("card menu type null") << QByteArray(R"({"id":"b1","type":null})") << "valueNotFound";
    QTest::newRow("card menu id as number") << QByteArray(R"({"id":1,"type":2})") << "typeMismatch";
    QTest::newRow("card menu type with fraction") << QByteArray(R"({"id":"b1","type":2.5})") << "typeMismatch";
    QTest::newRow("keys differ in case") << QByteArray(R"({"ID":"b1","Type":2})") << "keyNotFound";
    QTest::newRow("collect as 1") << QByteArray(R"({"examBankId":"b","questionId":"q","collect":1})")
                                  << "typeMismatch";
    QTest::newRow("collect as false") << QByteArray(R"({"examBankId":"b","questionId":"q","collect":false})") << "ok";
}

void tst_NetworkRecords::requestBodiesDecodeStrictly()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, outcome);
    const QJsonObject object = parse(json);
    QString actual = QStringLiteral("ok");
    try {
        if (object.contains(QLatin1String("collect"))) {
            const ManageCollectionRequest body = ManageCollectionRequest::fromJson(object);
            QCOMPARE(compact(body.toJson()), compact(object));
        } else {
            const CardMenuRequest body = CardMenuRequest::fromJson(object);
            QCOMPARE(body.id, QStringLiteral("b1"));
            QCOMPARE(body.type, 2);
        }
    } catch (const DecodingError &error) {
        actual = error.kind() == DecodingError::Kind::keyNotFound     ? QStringLiteral("keyNotFound")
                 : error.kind() == DecodingError::Kind::valueNotFound ? QStringLiteral("valueNotFound")
                 : error.kind() == DecodingError::Kind::typeMismatch  ? QStringLiteral("typeMismatch")
                                                                      : QStringLiteral("dataCorrupted");
    }
    QCOMPARE(actual, outcome);
    // The empty body reads nothing, whatever it is given.
    (void)EmptyRequest::fromJson(QJsonValue(42));
}

void tst_NetworkRecords::handshakeDecodeInt_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qint64>("expected"); // min(): none

    const qint64 none = std::numeric_limits<qint64>::min();
    QTest::newRow("number") << QByteArray(R"({"v":3600})") << qint64(3600);
    QTest::newRow("negative number") << QByteArray(R"({"v":-5})") << qint64(-5);
    QTest::newRow("number with zero fraction") << QByteArray(R"({"v":120.0})") << qint64(120);
    QTest::newRow("number with fraction") << QByteArray(R"({"v":1.5})") << none;
    QTest::newRow("millisecond instant") << QByteArray(R"({"v":1718000000123})") << qint64(1718000000123);
    QTest::newRow("string digits") << QByteArray(R"({"v":"1718000000123"})") << qint64(1718000000123);
    QTest::newRow("string with plus") << QByteArray(R"({"v":"+120"})") << qint64(120);
    QTest::newRow("string with minus") << QByteArray(R"({"v":"-7"})") << qint64(-7);
    QTest::newRow("string with leading space") << QByteArray(R"({"v":" 120"})") << none;
    QTest::newRow("string with fraction") << QByteArray(R"({"v":"12.0"})") << none;
    QTest::newRow("empty string") << QByteArray(R"({"v":""})") << none;
    QTest::newRow("sign only") << QByteArray(R"({"v":"+"})") << none;
    QTest::newRow("string beyond 64 bits") << QByteArray(R"({"v":"9223372036854775808"})") << none;
    QTest::newRow("string at the 64-bit limit") << QByteArray(R"({"v":"9223372036854775807"})")
                                                << std::numeric_limits<qint64>::max();
    QTest::newRow("number beyond 64 bits") << QByteArray(R"({"v":1e19})") << none;
    QTest::newRow("boolean") << QByteArray(R"({"v":true})") << none;
    QTest::newRow("null") << QByteArray(R"({"v":null})") << none;
    QTest::newRow("absent") << QByteArray(R"({})") << none;
}

void tst_NetworkRecords::handshakeDecodeInt()
{
    QFETCH(QByteArray, json);
    QFETCH(qint64, expected);
    const std::optional<qint64> value = HandshakeData::decodeInt(parse(json), QLatin1StringView("v"));
    QCOMPARE(value.value_or(std::numeric_limits<qint64>::min()), expected);
}

void tst_NetworkRecords::handshakeExpiry_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("expiresAt");

    const qint64 now = 1'700'000'000'000;
    const qint64 max = std::numeric_limits<qint64>::max();
    QTest::newRow("ttl 30 gives 60 s") << QByteArray(R"("ttlSeconds":30)") << now << now + 60'000;
    QTest::newRow("ttl 0 gives 60 s") << QByteArray(R"("ttlSeconds":0)") << now << now + 60'000;
    QTest::newRow("negative ttl gives 60 s") << QByteArray(R"("ttlSeconds":-100)") << now << now + 60'000;
    QTest::newRow("ttl 3600") << QByteArray(R"("ttlSeconds":3600)") << now << now + 3'600'000;
    QTest::newRow("ttl +120 as text") << QByteArray(R"("ttlSeconds":"+120")") << now << now + 120'000;
    QTest::newRow("ttl with leading space counts as absent") << QByteArray(R"("ttlSeconds":" 120")") << now
                                                             << now + 7'200'000;
    QTest::newRow("neither gives 7200 s") << QByteArray() << now << now + 7'200'000;
    QTest::newRow("expireAt number") << QByteArray(R"("expireAt":1700000500000)") << now << qint64(1'700'000'500'000);
    QTest::newRow("expireAt digits equal the number") << QByteArray(R"("expireAt":"1700000500000")") << now
                                                      << qint64(1'700'000'500'000);
    QTest::newRow("expireAt wins over ttl") << QByteArray(R"("expireAt":1700000500000,"ttlSeconds":30)") << now
                                            << qint64(1'700'000'500'000);
    QTest::newRow("expireAt not a number falls back to ttl") << QByteArray(R"("expireAt":"soon","ttlSeconds":3600)")
                                                             << now << now + 3'600'000;
    QTest::newRow("huge ttl saturates") << QByteArray(R"("ttlSeconds":9223372036854775807)") << now << max;
    QTest::newRow("ttl overflowing only with now saturates") << QByteArray(R"("ttlSeconds":9223372036854775)")
                                                             << now << max;
}

void tst_NetworkRecords::handshakeExpiry()
{
    QFETCH(QByteArray, fields);
    QFETCH(qint64, now);
    QFETCH(qint64, expiresAt);
    QByteArray json = R"({"sessionId":"s","serverPublicKey":"k")";
    if (!fields.isEmpty())
        json += ',' + fields;
    json += '}';
    const HandshakeData data = HandshakeData::fromJson(parse(json));
    QCOMPARE(data.expiresAtMilliseconds(now), expiresAt);
}

void tst_NetworkRecords::handshakeEnvelope_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("complete") << QByteArray(R"({"success":true,"data":{"sessionId":"s1","serverPublicKey":"AAAA"}})")
                              << "success data s1";
    QTest::newRow("no data") << QByteArray(R"({"success":true})") << "success";
    QTest::newRow("null data") << QByteArray(R"({"success":true,"data":null})") << "success";
    QTest::newRow("failure") << QByteArray(R"({"success":false})") << "failure";
    QTest::newRow("success missing") << QByteArray(R"({"data":null})") << "error";
    QTest::newRow("success as string") << QByteArray(R"({"success":"true"})") << "error";
    QTest::newRow("session id missing") << QByteArray(R"({"success":true,"data":{"serverPublicKey":"AAAA"}})")
                                        << "error";
    QTest::newRow("session id as number") << QByteArray(R"({"success":true,"data":{"sessionId":5,"serverPublicKey":"A"}})")
                                          << "error";
    QTest::newRow("key missing") << QByteArray(R"({"success":true,"data":{"sessionId":"s"}})") << "error";
    QTest::newRow("data not an object") << QByteArray(R"({"success":true,"data":"x"})") << "error";
    QTest::newRow("not JSON") << QByteArray("<html>") << "error";
}

void tst_NetworkRecords::handshakeEnvelope()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, outcome);
    QString actual;
    try {
        const HandshakeEnvelope envelope = HandshakeEnvelope::decode(json);
        actual = envelope.success ? QStringLiteral("success") : QStringLiteral("failure");
        if (envelope.data)
            actual += QStringLiteral(" data ") + envelope.data->sessionId;
    } catch (const DecodingError &) {
        actual = QStringLiteral("error");
    }
    QCOMPARE(actual, outcome);
}

void tst_NetworkRecords::diagnosticsFormOnce()
{
    const QString path = QStringLiteral("/diagnostics/once");
    QCOMPARE(CryptoDiagnostics::request(path, QStringLiteral("fixed")).value_or(QString()),
             QStringLiteral("request path=/diagnostics/once mode=fixed"));
    QVERIFY(!CryptoDiagnostics::request(path, QStringLiteral("fixed")).has_value());
    QVERIFY(CryptoDiagnostics::request(path, QStringLiteral("ecdh")).has_value());
    QVERIFY(CryptoDiagnostics::seenRequestModes().contains(QStringLiteral("/diagnostics/once:fixed")));

    QCOMPARE(CryptoDiagnostics::response(path, QStringLiteral("ecdh"), QStringLiteral("aes-cbc")).value_or(QString()),
             QStringLiteral("response decoded path=/diagnostics/once mode=ecdh payload=aes-cbc"));
    QVERIFY(!CryptoDiagnostics::response(path, QStringLiteral("ecdh"), QStringLiteral("aes-cbc")).has_value());
    QVERIFY(CryptoDiagnostics::response(path, QStringLiteral("ecdh"), QStringLiteral("plain-json")).has_value());
    QVERIFY(CryptoDiagnostics::seenResponseModes().contains(QStringLiteral("/diagnostics/once:ecdh:aes-cbc")));
}

QTEST_GUILESS_MAIN(tst_NetworkRecords)
#include "tst_networkrecords.moc"
