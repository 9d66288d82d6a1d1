#include "ModelTestSupport.h"

#include "models/CardMenu.h"
#include "models/ExamBank.h"
#include "models/LenientJson.h"
#include "models/LoginResponse.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestMenuRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void examBankDecoding_data();
    void examBankDecoding();
    void examBankRoundTrip();
    void initConfig_data();
    void initConfig();
    void loginResponse_data();
    void loginResponse();
    void cardMenuQuestionType_data();
    void cardMenuQuestionType();
    void cardMenuMembers_data();
    void cardMenuMembers();
    void cardMenuChildren_data();
    void cardMenuChildren();
    void cardMenuIdentity();
    void cardMenuEncoding();
};

void TestMenuRecords::examBankDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("isShow");

    QTest::newRow("empty object") << QByteArray("{}") << QString() << QString() << qint64(1);
    QTest::newRow("numeric id, no isShow") << QByteArray(R"({"id":103})") << u"103"_s << QString() << qint64(1);
    QTest::newRow("isShow string 0") << QByteArray(R"({"id":"a","name":"行测","isShow":"0"})") << u"a"_s
                                     << u"行测"_s << qint64(0);
    QTest::newRow("isShow 0.0") << QByteArray(R"({"isShow":0.0})") << QString() << QString() << qint64(0);
    QTest::newRow("isShow null") << QByteArray(R"({"isShow":null})") << QString() << QString() << qint64(1);
    QTest::newRow("isShow 0.5") << QByteArray(R"({"isShow":0.5})") << QString() << QString() << qint64(1);
    QTest::newRow("unknown members ignored") << QByteArray(R"({"id":"x","extra":[1,2]})") << u"x"_s << QString()
                                             << qint64(1);
}

void TestMenuRecords::examBankDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(qint64, isShow);
    const ExamBank bank = ExamBank::fromJson(jsonValue(json));
    QCOMPARE(bank.id, id);
    QCOMPARE(bank.name, name);
    QCOMPARE(bank.isShow, isShow);
}

void TestMenuRecords::examBankRoundTrip()
{
    const QList<ExamBank> banks{{u"103"_s, u"行测"_s, 0}, {u"7"_s, QString(), 1}};
    const QJsonObject first = banks.first().toJson();
    QCOMPARE(compactJson(first), QByteArray(R"({"id":"103","isShow":0,"name":"行测"})"));
    // The bank list is persisted this way and must come back equal.
    const QList<ExamBank> decoded = decodeList<ExamBank>(encodeList(banks));
    QCOMPARE(decoded, banks);
    QCOMPARE(qHash(decoded.first()), qHash(banks.first()));
    QVERIFY(banks.first() != (ExamBank{u"103"_s, u"行测"_s, 1}));
}

void TestMenuRecords::initConfig_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("banks"); // -1: fails

    QTest::newRow("empty list") << QByteArray(R"({"examBankList":[]})") << 0;
    QTest::newRow("bank with only a name") << QByteArray(R"({"examBankList":[{"name":"x"}],"security":{}})") << 1;
    QTest::newRow("odd members never fail") << QByteArray(R"({"examBankList":[{"id":[1],"isShow":"yes"}]})") << 1;
    QTest::newRow("missing list") << QByteArray("{}") << -1;
    QTest::newRow("null list") << QByteArray(R"({"examBankList":null})") << -1;
    QTest::newRow("object list") << QByteArray(R"({"examBankList":{}})") << -1;
    QTest::newRow("element not an object") << QByteArray(R"({"examBankList":[{},"x"]})") << -1;
    QTest::newRow("not an object") << QByteArray("[]") << -1;
}

void TestMenuRecords::initConfig()
{
    QFETCH(QByteArray, json);
    QFETCH(int, banks);
    try {
        const InitConfigResponse response = InitConfigResponse::fromJson(jsonValue(json));
        QCOMPARE(response.examBankList.size(), banks);
        if (banks == 1) {
            QCOMPARE(response.examBankList.first().id, QString());
            QCOMPARE(response.examBankList.first().isShow, qint64(1));
        }
    } catch (const DecodingError &) {
        QCOMPARE(banks, -1);
    }
}

void TestMenuRecords::loginResponse_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");

    QTest::newRow("complete") << QByteArray(R"({"id":"u1","mobile":"13800000000","token":"t"})") << true;
    QTest::newRow("empty texts are texts") << QByteArray(R"({"id":"","mobile":"","token":""})") << true;
    QTest::newRow("numeric id") << QByteArray(R"({"id":5,"mobile":"m","token":"t"})") << false;
    QTest::newRow("null mobile") << QByteArray(R"({"id":"u","mobile":null,"token":"t"})") << false;
    QTest::newRow("missing token") << QByteArray(R"({"id":"u","mobile":"m"})") << false;
    QTest::newRow("not an object") << QByteArray(R"("token")") << false;
}

void TestMenuRecords::loginResponse()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);
    try {
        const LoginResponse response = LoginResponse::fromJson(jsonValue(json));
        QVERIFY(decodes);
        QCOMPARE(QJsonValue(response.toJson()), jsonValue(json));
    } catch (const DecodingError &) {
        QVERIFY(!decodes);
    }
}

void TestMenuRecords::cardMenuQuestionType_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<QuestionType>("expected");

    QTest::newRow("2") << QByteArray("2") << QuestionType::multiple;
    QTest::newRow("string 2") << QByteArray("\"2\"") << QuestionType::multiple;
    QTest::newRow("3") << QByteArray("3") << QuestionType::answer;
    QTest::newRow("1") << QByteArray("1") << QuestionType::single;
    QTest::newRow("0") << QByteArray("0") << QuestionType::single;
    QTest::newRow("4") << QByteArray("4") << QuestionType::single;
    QTest::newRow("-1") << QByteArray("-1") << QuestionType::single;
    QTest::newRow("null") << QByteArray("null") << QuestionType::single;
    QTest::newRow("absent") << QByteArray("<absent>") << QuestionType::single;
}

void TestMenuRecords::cardMenuQuestionType()
{
    QFETCH(QByteArray, fragment);
    QFETCH(QuestionType, expected);
    QJsonObject object;
    if (fragment != "<absent>")
        object.insert("questionType"_L1, jsonValue(fragment));
    QCOMPARE(CardMenu::fromJson(object).questionType, expected);
}

void TestMenuRecords::cardMenuMembers_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("userWorkCount");
    QTest::addColumn<QString>("parentId"); // "<none>": absent

    QTest::newRow("cnt as string") << QByteArray(R"({"cnt":"12","userWorkCnt":3})") << qint64(12) << qint64(3)
                                   << u"<none>"_s;
    QTest::newRow("count key is not read") << QByteArray(R"({"count":5,"userWorkCount":4})") << qint64(0)
                                           << qint64(0) << u"<none>"_s;
    QTest::newRow("empty parentId") << QByteArray(R"({"parentId":""})") << qint64(0) << qint64(0) << u"<none>"_s;
    QTest::newRow("parentId 0") << QByteArray(R"({"parentId":0})") << qint64(0) << qint64(0) << u"0"_s;
    QTest::newRow("parentId text") << QByteArray(R"({"parentId":"p9"})") << qint64(0) << qint64(0) << u"p9"_s;
}

void TestMenuRecords::cardMenuMembers()
{
    QFETCH(QByteArray, json);
    QFETCH(qint64, count);
    QFETCH(qint64, userWorkCount);
    QFETCH(QString, parentId);
    const CardMenu menu = CardMenu::fromJson(jsonValue(json));
    QCOMPARE(menu.count, count);
    QCOMPARE(menu.userWorkCount, userWorkCount);
    QCOMPARE(menu.parentId.value_or(u"<none>"_s), parentId);
}

void TestMenuRecords::cardMenuChildren_data()
{
    QTest::addColumn<QByteArray>("children");
    QTest::addColumn<int>("expected");

    QTest::newRow("null") << QByteArray("null") << 0;
    QTest::newRow("absent") << QByteArray("<absent>") << 0;
    QTest::newRow("object") << QByteArray(R"({"id":"c"})") << 0;
    QTest::newRow("string among objects") << QByteArray(R"([{"id":"c1"},"c2",{"id":"c3"}])") << 0;
    QTest::newRow("two objects") << QByteArray(R"([{"id":"c1"},{"id":"c2","children":[{"id":"g"}]}])") << 2;
}

void TestMenuRecords::cardMenuChildren()
{
    QFETCH(QByteArray, children);
    QFETCH(int, expected);
    QJsonObject object = jsonObject(R"({"id":"root","name":"言语理解"})");
    if (children != "<absent>")
        object.insert("children"_L1, jsonValue(children));
    const CardMenu menu = CardMenu::fromJson(object);
    QCOMPARE(menu.menuId, u"root"_s);
    QCOMPARE(menu.name, u"言语理解"_s);
    QCOMPARE(menu.children.size(), expected);
    if (expected == 2) {
        QCOMPARE(menu.children.at(1).menuId, u"c2"_s);
        QCOMPARE(menu.children.at(1).children.size(), 1);
        QCOMPARE(menu.children.at(1).children.first().menuId, u"g"_s);
    }
}

void TestMenuRecords::cardMenuIdentity()
{
    const QJsonValue json = jsonValue(
        R"({"id":"m1","examBankId":103,"questionType":2,"menuType":1,"name":"n","cnt":4,"needVip":1,
            "children":[{"id":"c"}]})");
    const CardMenu first = CardMenu::fromJson(json);
    const CardMenu second = CardMenu::fromJson(json);
    QVERIFY(!first.id.isNull());
    QVERIFY(first.id != second.id);
    QVERIFY(first != second); // two decodes never compare equal
    const CardMenu copy = first;
    QCOMPARE(copy, first);
    QCOMPARE(qHash(copy), qHash(first));

    const CardMenu reDecoded = CardMenu::fromJson(first.toJson());
    QVERIFY(reDecoded != first);
    CardMenu sameId = reDecoded;
    sameId.id = first.id;
    sameId.children.first().id = first.children.first().id;
    QCOMPARE(sameId, first); // every member but the local ids survives
    QCOMPARE(qHash(sameId), qHash(first));
    sameId.children.first().count = 1;
    QVERIFY(sameId != first);
}

void TestMenuRecords::cardMenuEncoding()
{
    CardMenu menu;
    menu.menuId = u"m"_s;
    menu.questionType = QuestionType::answer;
    menu.count = 12;
    menu.userWorkCount = 3;
    QCOMPARE(compactJson(menu.toJson()),
             QByteArray(R"({"children":[],"cnt":12,"id":"m","name":"","needVip":0,"questionType":3,"userWorkCnt":3})"));
    menu.examBankId = u"b"_s;
    menu.menuType = 2;
    menu.parentId = QString(); // present though empty: written, then read back as absent
    const QJsonObject object = menu.toJson();
    QCOMPARE(object.value("examBankId"_L1), QJsonValue(u"b"_s));
    QCOMPARE(object.value("menuType"_L1), QJsonValue(2));
    QCOMPARE(object.value("parentId"_L1), QJsonValue(QString()));
    QVERIFY(!CardMenu::fromJson(object).parentId.has_value());
}

QTEST_GUILESS_MAIN(TestMenuRecords)
#include "tst_menurecords.moc"
