#include "ModelTestSupport.h"

#include "models/LenientJson.h"
#include "models/VIPExpireItem.h"
#include "models/VIPStatusCache.h"
#include "models/VIPStatusResponse.h"
#include "platform/Clock.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

// Installs a manual clock for the duration of one test function.
class ClockScope
{
public:
    explicit ClockScope(qint64 now) : clock(now) { Clock::setShared(&clock); }
    ~ClockScope() { Clock::setShared(nullptr); }
    ManualClock clock;
};

} // namespace

class TestMembership : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void responseCurrentTime_data();
    void responseCurrentTime();
    void expireItem_data();
    void expireItem();
    void responseList();
    void estimatedServerTime_data();
    void estimatedServerTime();
    void validMembership_data();
    void validMembership();
    void cacheRoundTrip();
    void cacheIsStrict_data();
    void cacheIsStrict();
};

void TestMembership::responseCurrentTime_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<qint64>("expected");

    const qint64 now = 1700000000123;
    QTest::newRow("number") << QByteArray("5000") << qint64(5000);
    QTest::newRow("5000.0") << QByteArray("5000.0") << qint64(5000);
    QTest::newRow("string") << QByteArray("\"5000\"") << qint64(5000);
    QTest::newRow("absent: local now") << QByteArray("<absent>") << now;
    QTest::newRow("null: local now") << QByteArray("null") << now;
    QTest::newRow("letters: local now") << QByteArray("\"now\"") << now;
    QTest::newRow("1e19: local now") << QByteArray("1e19") << now;
    QTest::newRow("string nan: local now") << QByteArray("\"nan\"") << now;
}

void TestMembership::responseCurrentTime()
{
    QFETCH(QByteArray, fragment);
    QFETCH(qint64, expected);
    const ClockScope scope(1700000000123);
    QJsonObject object;
    if (fragment != "<absent>")
        object.insert("currentTime"_L1, jsonValue(fragment));
    QCOMPARE(VIPStatusResponse::fromJson(object).currentTimeMilliseconds, expected);
}

void TestMembership::expireItem_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("bank");
    QTest::addColumn<qint64>("expiry");

    QTest::newRow("string expiry") << QByteArray(R"({"examBankId":"103","expireTime":"5000"})") << u"103"_s
                                   << qint64(5000);
    QTest::newRow("numeric bank and expiry") << QByteArray(R"({"examBankId":103,"expireTime":5000})") << u"103"_s
                                             << qint64(5000);
    QTest::newRow("fractional expiry") << QByteArray(R"({"expireTime":5000.9})") << QString() << qint64(5000);
    QTest::newRow("null expiry") << QByteArray(R"({"examBankId":"1","expireTime":null})") << u"1"_s << qint64(0);
    QTest::newRow("absent expiry") << QByteArray(R"({"examBankId":"1"})") << u"1"_s << qint64(0);
    QTest::newRow("expiry beyond 2^53 exact") << QByteArray(R"({"expireTime":"9007199254740993"})") << QString()
                                              << qint64(9007199254740993);
}

void TestMembership::expireItem()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, bank);
    QFETCH(qint64, expiry);
    const VIPExpireItem item = VIPExpireItem::fromJson(jsonValue(json));
    QCOMPARE(item.examBankId, bank);
    QCOMPARE(item.expireTimeMilliseconds, expiry);
    // Written back with the expiry as decimal text, and read back equal.
    const QJsonObject object = item.toJson();
    QCOMPARE(object.value("expireTime"_L1), QJsonValue(QString::number(expiry)));
    QCOMPARE(VIPExpireItem::fromJson(object), item);
    QCOMPARE(qHash(VIPExpireItem::fromJson(object)), qHash(item));
}

void TestMembership::responseList()
{
    const ClockScope scope(1);
    const VIPStatusResponse good = VIPStatusResponse::fromJson(
        jsonValue(R"({"currentTime":10,"userVipList":[{"examBankId":"a","expireTime":20},{"examBankId":"b"}]})"));
    QCOMPARE(good.userVipList.size(), 2);
    QCOMPARE(good.userVipList.at(1), (VIPExpireItem{u"b"_s, 0}));
    const VIPStatusResponse bad =
        VIPStatusResponse::fromJson(jsonValue(R"({"currentTime":10,"userVipList":[{"examBankId":"a"},7]})"));
    QVERIFY(bad.userVipList.isEmpty());
    QCOMPARE(bad.currentTimeMilliseconds, qint64(10));
    QVERIFY_THROWS_EXCEPTION(DecodingError, (void)VIPStatusResponse::fromJson(jsonValue("[]")));
}

void TestMembership::estimatedServerTime_data()
{
    QTest::addColumn<qint64>("server");
    QTest::addColumn<qint64>("fetchedAt");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("expected");

    const qint64 fetched = 1700000000000;
    const qint64 server = 1700000100000;
    QTest::newRow("clock moved on") << server << fetched << fetched + 5000 << server + 5000;
    QTest::newRow("clock set back") << server << fetched << fetched - 5000 << server;
    QTest::newRow("at the fetch") << server << fetched << fetched << server;
    QTest::newRow("sum saturates") << kMax - 10 << qint64(0) << qint64(1000) << kMax;
    QTest::newRow("elapsed saturates") << qint64(0) << kMin << kMax << kMax;
    QTest::newRow("negative elapsed overflow") << qint64(7) << kMax << kMin << qint64(7);
    QTest::newRow("minimum server time") << kMin << qint64(0) << qint64(0) << kMin;
}

void TestMembership::estimatedServerTime()
{
    QFETCH(qint64, server);
    QFETCH(qint64, fetchedAt);
    QFETCH(qint64, now);
    QFETCH(qint64, expected);
    const ClockScope scope(now);
    const VIPStatusCache cache{server, fetchedAt, {}};
    QCOMPARE(cache.estimatedServerTimeMilliseconds(), expected);
}

void TestMembership::validMembership_data()
{
    QTest::addColumn<QList<VIPExpireItem>>("items");
    QTest::addColumn<QString>("bank");
    QTest::addColumn<bool>("expected");

    // The estimate in validMembership() is 10000 + 5000 = 15000.
    QTest::newRow("expiry equals estimate") << QList<VIPExpireItem>{{u"B"_s, 15000}} << u"B"_s << false;
    QTest::newRow("one millisecond later") << QList<VIPExpireItem>{{u"B"_s, 15001}} << u"B"_s << true;
    QTest::newRow("expired then valid")
        << QList<VIPExpireItem>{{u"B"_s, 100}, {u"A"_s, 99999}, {u"B"_s, 20000}} << u"B"_s << true;
    QTest::newRow("valid for another bank") << QList<VIPExpireItem>{{u"A"_s, 99999}} << u"B"_s << false;
    QTest::newRow("empty list") << QList<VIPExpireItem>{} << u"B"_s << false;
    QTest::newRow("ids are texts") << QList<VIPExpireItem>{{u"103"_s, 99999}} << u"0103"_s << false;
}

void TestMembership::validMembership()
{
    QFETCH(QList<VIPExpireItem>, items);
    QFETCH(QString, bank);
    QFETCH(bool, expected);
    ClockScope scope(5000);
    const VIPStatusCache cache{10000, 0, items};
    QCOMPARE(cache.containsValidMembership(bank), expected);
    // The same cache expires as the local clock moves on.
    scope.clock.advance(1000000);
    QVERIFY(!cache.containsValidMembership(bank));
}

void TestMembership::cacheRoundTrip()
{
    const ClockScope scope(0);
    // A numeric bank id from the service still matches the bank's text id.
    const VIPStatusResponse response =
        VIPStatusResponse::fromJson(jsonValue(R"({"currentTime":1000,"userVipList":[{"examBankId":103,"expireTime":5000}]})"));
    const VIPStatusCache cache{response.currentTimeMilliseconds, 400, response.userVipList};
    QVERIFY(cache.containsValidMembership(u"103"_s));

    const QJsonObject object = cache.toJson();
    QVERIFY(object.value("serverCurrentTimeMilliseconds"_L1).isDouble());
    QVERIFY(object.value("fetchedAtMilliseconds"_L1).isDouble());
    QCOMPARE(object.value("userVipList"_L1).toArray().first().toObject().value("expireTime"_L1),
             QJsonValue(u"5000"_s));
    const VIPStatusCache decoded = VIPStatusCache::fromJson(object);
    QCOMPARE(decoded.serverCurrentTimeMilliseconds, qint64(1000));
    QCOMPARE(decoded.fetchedAtMilliseconds, qint64(400));
    QCOMPARE(decoded.userVipList, cache.userVipList);

    // Large times survive the stored text exactly.
    const VIPStatusCache extreme{kMax, kMin, {{u"x"_s, kMax}}};
    const QByteArray stored = compactJson(extreme.toJson());
    const VIPStatusCache back = VIPStatusCache::fromJson(QJsonDocument::fromJson(stored).object());
    QCOMPARE(back.serverCurrentTimeMilliseconds, kMax);
    QCOMPARE(back.fetchedAtMilliseconds, kMin);
    QCOMPARE(back.userVipList, extreme.userVipList);
}

void TestMembership::cacheIsStrict_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");

    QTest::newRow("complete")
        << QByteArray(R"({"serverCurrentTimeMilliseconds":1,"fetchedAtMilliseconds":2,"userVipList":[{"odd":1}]})")
        << true;
    QTest::newRow("time as text")
        << QByteArray(R"({"serverCurrentTimeMilliseconds":"1","fetchedAtMilliseconds":2,"userVipList":[]})") << false;
    QTest::newRow("fractional time")
        << QByteArray(R"({"serverCurrentTimeMilliseconds":1.5,"fetchedAtMilliseconds":2,"userVipList":[]})") << false;
    QTest::newRow("missing list") << QByteArray(R"({"serverCurrentTimeMilliseconds":1,"fetchedAtMilliseconds":2})")
                                  << false;
    QTest::newRow("element not an object")
        << QByteArray(R"({"serverCurrentTimeMilliseconds":1,"fetchedAtMilliseconds":2,"userVipList":[{},"x"]})")
        << false;
    QTest::newRow("not an object") << QByteArray(R"("cache")") << false;
}

void TestMembership::cacheIsStrict()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);
    try {
        const VIPStatusCache cache = VIPStatusCache::fromJson(jsonValue(json));
        QVERIFY(decodes);
        QCOMPARE(cache.userVipList.size(), 1);
    } catch (const DecodingError &) {
        QVERIFY(!decodes);
    }
}

QTEST_GUILESS_MAIN(TestMembership)
#include "tst_membership.moc"
