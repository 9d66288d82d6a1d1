#include "ModelTestSupport.h"

#include "models/ExamBank.h"
#include "models/LenientJson.h"
#include "models/Material.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();
constexpr qint64 kDefault = -99;
}

class TestLenientJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void flexibleString_data();
    void flexibleString();
    void flexibleOptionalString_data();
    void flexibleOptionalString();
    void flexibleInt_data();
    void flexibleInt();
    void flexibleInt64_data();
    void flexibleInt64();
    void flexibleList_data();
    void flexibleList();
    void doubleText_data();
    void doubleText();
    void strictString_data();
    void strictString();
    void strictInt_data();
    void strictInt();
    void decodeListReportsElementPath();
    void containerStep_data();
    void containerStep();
    void localizedDescriptionIsChinese();
    void tolerantBool_data();
    void tolerantBool();
};

void TestLenientJson::flexibleString_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text") << QByteArray("\"abc\"") << u"abc"_s;
    QTest::newRow("empty text is a value") << QByteArray("\"\"") << QString();
    QTest::newRow("blanks kept") << QByteArray("\" x \"") << u" x "_s;
    QTest::newRow("7") << QByteArray("7") << u"7"_s;
    QTest::newRow("-7") << QByteArray("-7") << u"-7"_s;
    QTest::newRow("7.0") << QByteArray("7.0") << u"7"_s;
    QTest::newRow("7.25") << QByteArray("7.25") << u"7.25"_s;
    QTest::newRow("3.5") << QByteArray("3.5") << u"3.5"_s;
    QTest::newRow("1e3") << QByteArray("1e3") << u"1000"_s;
    QTest::newRow("1e19") << QByteArray("1e19") << u"1e+19"_s;
    QTest::newRow("1e-5") << QByteArray("1e-5") << u"1e-05"_s;
    QTest::newRow("-0.0") << QByteArray("-0.0") << u"0"_s;
    QTest::newRow("beyond 2^53 exact") << QByteArray("9007199254740993") << u"9007199254740993"_s;
    QTest::newRow("int64 max") << QByteArray("9223372036854775807") << u"9223372036854775807"_s;
    QTest::newRow("int64 min") << QByteArray("-9223372036854775808") << u"-9223372036854775808"_s;
    QTest::newRow("2^63 is a double") << QByteArray("9223372036854775808") << u"9.223372036854776e+18"_s;
    QTest::newRow("true") << QByteArray("true") << u"D"_s;
    QTest::newRow("false") << QByteArray("false") << u"D"_s;
    QTest::newRow("null") << QByteArray("null") << u"D"_s;
    QTest::newRow("absent") << QByteArray("<absent>") << u"D"_s;
    QTest::newRow("object") << QByteArray("{\"a\":1}") << u"D"_s;
    QTest::newRow("array") << QByteArray("[1]") << u"D"_s;
}

void TestLenientJson::flexibleString()
{
    QFETCH(QByteArray, fragment);
    QFETCH(QString, expected);
    QCOMPARE(::flexibleString(memberObject(fragment), "v"_L1, u"D"_s), expected);
}

void TestLenientJson::flexibleOptionalString_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text gives nothing") << QByteArray("\"\"") << false << QString();
    QTest::newRow("one space") << QByteArray("\" \"") << true << u" "_s;
    QTest::newRow("number 0") << QByteArray("0") << true << u"0"_s;
    QTest::newRow("12.5") << QByteArray("12.5") << true << u"12.5"_s;
    QTest::newRow("null") << QByteArray("null") << false << QString();
    QTest::newRow("absent") << QByteArray("<absent>") << false << QString();
    QTest::newRow("true") << QByteArray("true") << false << QString();
}

void TestLenientJson::flexibleOptionalString()
{
    QFETCH(QByteArray, fragment);
    QFETCH(bool, present);
    QFETCH(QString, expected);
    const auto actual = ::flexibleOptionalString(memberObject(fragment), "v"_L1);
    QCOMPARE(actual.has_value(), present);
    if (present)
        QCOMPARE(*actual, expected);
}

void TestLenientJson::flexibleInt_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<bool>("present"); // for flexibleOptionalInt; the default otherwise
    QTest::addColumn<qint64>("expected");

    QTest::newRow("12") << QByteArray("12") << true << qint64(12);
    QTest::newRow("3.0 via integer read") << QByteArray("3.0") << true << qint64(3);
    QTest::newRow("1e3") << QByteArray("1e3") << true << qint64(1000);
    QTest::newRow("string 12") << QByteArray("\"12\"") << true << qint64(12);
    QTest::newRow("string +12") << QByteArray("\"+12\"") << true << qint64(12);
    QTest::newRow("string 007") << QByteArray("\"007\"") << true << qint64(7);
    QTest::newRow("string -0") << QByteArray("\"-0\"") << true << qint64(0);
    QTest::newRow("string max") << QByteArray("\"9223372036854775807\"") << true << kMax;
    QTest::newRow("string min") << QByteArray("\"-9223372036854775808\"") << true << kMin;
    QTest::newRow("number min") << QByteArray("-9223372036854775808") << true << kMin;
    QTest::newRow("string max+1") << QByteArray("\"9223372036854775808\"") << false << kDefault;
    QTest::newRow("string min-1") << QByteArray("\"-9223372036854775809\"") << false << kDefault;
    QTest::newRow("twenty nines") << QByteArray("\"99999999999999999999\"") << false << kDefault;
    QTest::newRow("leading blank") << QByteArray("\" 12\"") << false << kDefault;
    QTest::newRow("trailing blank") << QByteArray("\"12 \"") << false << kDefault;
    QTest::newRow("blank inside") << QByteArray("\"1 2\"") << false << kDefault;
    QTest::newRow("string 12.0") << QByteArray("\"12.0\"") << false << kDefault;
    QTest::newRow("string 3.5") << QByteArray("\"3.5\"") << false << kDefault;
    QTest::newRow("string 1e3") << QByteArray("\"1e3\"") << false << kDefault;
    QTest::newRow("string 0x1A") << QByteArray("\"0x1A\"") << false << kDefault;
    QTest::newRow("lone sign") << QByteArray("\"-\"") << false << kDefault;
    QTest::newRow("double sign") << QByteArray("\"+-1\"") << false << kDefault;
    QTest::newRow("empty text") << QByteArray("\"\"") << false << kDefault;
    QTest::newRow("full-width digits") << QByteArray("\"\xef\xbc\x91\xef\xbc\x92\"") << false << kDefault;
    QTest::newRow("number 12.5") << QByteArray("12.5") << false << kDefault;
    QTest::newRow("number 1e19") << QByteArray("1e19") << false << kDefault;
    QTest::newRow("false") << QByteArray("false") << false << kDefault;
    QTest::newRow("null") << QByteArray("null") << false << kDefault;
    QTest::newRow("absent") << QByteArray("<absent>") << false << kDefault;
    QTest::newRow("array") << QByteArray("[12]") << false << kDefault;
}

void TestLenientJson::flexibleInt()
{
    QFETCH(QByteArray, fragment);
    QFETCH(bool, present);
    QFETCH(qint64, expected);
    const QJsonObject object = memberObject(fragment);
    QCOMPARE(::flexibleInt(object, "v"_L1, kDefault), expected);
    const auto optional = ::flexibleOptionalInt(object, "v"_L1);
    QCOMPARE(optional.has_value(), present);
    if (present)
        QCOMPARE(*optional, expected);
}

void TestLenientJson::flexibleInt64_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("1500") << QByteArray("1500") << qint64(1500);
    QTest::newRow("1500.9") << QByteArray("1500.9") << qint64(1500);
    QTest::newRow("-1500.9") << QByteArray("-1500.9") << qint64(-1500);
    QTest::newRow("string 1500") << QByteArray("\"1500\"") << qint64(1500);
    QTest::newRow("string 1.5e3") << QByteArray("\"1.5e3\"") << qint64(1500);
    QTest::newRow("string 12.9") << QByteArray("\"12.9\"") << qint64(12);
    QTest::newRow("string -1.9") << QByteArray("\"-1.9\"") << qint64(-1);
    QTest::newRow("string 2.5e3") << QByteArray("\"2.5e3\"") << qint64(2500);
    QTest::newRow("string 0x1A") << QByteArray("\"0x1A\"") << qint64(26);
    QTest::newRow("string +5") << QByteArray("\"+5\"") << qint64(5);
    QTest::newRow("exact beyond 2^53") << QByteArray("1700000000000000001") << qint64(1700000000000000001);
    QTest::newRow("number max") << QByteArray("9223372036854775807") << kMax;
    QTest::newRow("number min") << QByteArray("-9223372036854775808") << kMin;
    QTest::newRow("double -2^63") << QByteArray("-9.223372036854775808e18") << kMin;
    QTest::newRow("string max") << QByteArray("\"9223372036854775807\"") << kMax;
    QTest::newRow("string min") << QByteArray("\"-9223372036854775808\"") << kMin;
    // Out of range, infinite and not-a-number values take the default.
    QTest::newRow("number 2^63") << QByteArray("9223372036854775808") << kDefault;
    QTest::newRow("number 1e19") << QByteArray("1e19") << kDefault;
    QTest::newRow("number -1e19") << QByteArray("-1e19") << kDefault;
    QTest::newRow("string 2^63 as double") << QByteArray("\"9223372036854775808.0\"") << kDefault;
    QTest::newRow("string 1e400") << QByteArray("\"1e400\"") << kDefault;
    QTest::newRow("string 1e-400") << QByteArray("\"1e-400\"") << kDefault;
    QTest::newRow("string inf") << QByteArray("\"inf\"") << kDefault;
    QTest::newRow("string -Infinity") << QByteArray("\"-Infinity\"") << kDefault;
    QTest::newRow("string nan") << QByteArray("\"NaN\"") << kDefault;
    QTest::newRow("trailing blank") << QByteArray("\"1500 \"") << kDefault;
    QTest::newRow("leading blank") << QByteArray("\" 1500\"") << kDefault;
    QTest::newRow("leading tab") << QByteArray("\"\\t1500\"") << kDefault;
    QTest::newRow("embedded NUL") << QByteArray("\"1500\\u0000\"") << kDefault;
    QTest::newRow("decimal comma") << QByteArray("\"1500,5\"") << kDefault;
    QTest::newRow("empty text") << QByteArray("\"\"") << kDefault;
    QTest::newRow("letters") << QByteArray("\"soon\"") << kDefault;
    QTest::newRow("true") << QByteArray("true") << kDefault;
    QTest::newRow("null") << QByteArray("null") << kDefault;
    QTest::newRow("absent") << QByteArray("<absent>") << kDefault;
    QTest::newRow("object") << QByteArray("{}") << kDefault;
}

void TestLenientJson::flexibleInt64()
{
    QFETCH(QByteArray, fragment);
    QFETCH(qint64, expected);
    QCOMPARE(::flexibleInt64(memberObject(fragment), "v"_L1, kDefault), expected);
}

void TestLenientJson::flexibleList_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<int>("materials");
    QTest::addColumn<int>("texts");

    QTest::newRow("two objects") << QByteArray(R"([{"id":"m1"},{"id":2}])") << 2 << 0;
    QTest::newRow("object and string") << QByteArray(R"([{"id":"m1"},"x"])") << 0 << 0;
    QTest::newRow("two strings") << QByteArray(R"(["a","b"])") << 0 << 2;
    QTest::newRow("string and number") << QByteArray(R"(["a",1])") << 0 << 0;
    QTest::newRow("string and null") << QByteArray(R"(["a",null])") << 0 << 0;
    QTest::newRow("empty array") << QByteArray("[]") << 0 << 0;
    QTest::newRow("object") << QByteArray(R"({"id":"m1"})") << 0 << 0;
    QTest::newRow("string") << QByteArray(R"("a")") << 0 << 0;
    QTest::newRow("null") << QByteArray("null") << 0 << 0;
    QTest::newRow("absent") << QByteArray("<absent>") << 0 << 0;
}

void TestLenientJson::flexibleList()
{
    QFETCH(QByteArray, fragment);
    QFETCH(int, materials);
    QFETCH(int, texts);
    const QJsonObject object = memberObject(fragment);
    const QList<Material> decoded = ::flexibleList<Material>(object, "v"_L1);
    QCOMPARE(decoded.size(), materials);
    if (materials == 2)
        QCOMPARE(decoded.at(1).id, u"2"_s);
    QCOMPARE(::flexibleList<QString>(object, "v"_L1).size(), texts);
}

void TestLenientJson::doubleText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("3.5") << 3.5 << u"3.5"_s;
    QTest::newRow("0.25") << 0.25 << u"0.25"_s;
    QTest::newRow("-2.5") << -2.5 << u"-2.5"_s;
    QTest::newRow("0.1") << 0.1 << u"0.1"_s;
    QTest::newRow("one third") << 1.0 / 3.0 << u"0.3333333333333333"_s;
    QTest::newRow("0.0001") << 0.0001 << u"0.0001"_s;
    QTest::newRow("1e-05") << 1e-5 << u"1e-05"_s;
    QTest::newRow("-1.25e-07") << -1.25e-7 << u"-1.25e-07"_s;
    QTest::newRow("123456.789") << 123456.789 << u"123456.789"_s;
    QTest::newRow("4503599627370495.5") << 4503599627370495.5 << u"4503599627370495.5"_s;
    QTest::newRow("1e16") << 1e16 << u"1e+16"_s;
    QTest::newRow("1e19") << 1e19 << u"1e+19"_s;
    QTest::newRow("1.5e300") << 1.5e300 << u"1.5e+300"_s;
    QTest::newRow("smallest denormal") << 5e-324 << u"5e-324"_s;
}

void TestLenientJson::doubleText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QString text = LenientJson::doubleText(value);
    QCOMPARE(text, expected);
    // Shortest form still reads back as the same double.
    QCOMPARE(text.toDouble(), value);
}

void TestLenientJson::strictString_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<int>("errorKind"); // -1: no error

    QTest::newRow("text") << QByteArray("\"x\"") << -1;
    QTest::newRow("empty text") << QByteArray("\"\"") << -1;
    QTest::newRow("absent") << QByteArray("<absent>") << int(DecodingError::Kind::keyNotFound);
    QTest::newRow("null") << QByteArray("null") << int(DecodingError::Kind::valueNotFound);
    QTest::newRow("number") << QByteArray("5") << int(DecodingError::Kind::typeMismatch);
    QTest::newRow("bool") << QByteArray("true") << int(DecodingError::Kind::typeMismatch);
    QTest::newRow("array") << QByteArray("[\"x\"]") << int(DecodingError::Kind::typeMismatch);
}

void TestLenientJson::strictString()
{
    QFETCH(QByteArray, fragment);
    QFETCH(int, errorKind);
    try {
        const QString value = ::strictString(memberObject(fragment), "v"_L1);
        QCOMPARE(errorKind, -1);
        QCOMPARE(value, jsonValue(fragment).toString());
    } catch (const DecodingError &error) {
        QCOMPARE(int(error.kind()), errorKind);
        QCOMPARE(error.codingPathText(), u"v"_s);
    }
}

void TestLenientJson::strictInt_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<int>("errorKind");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("5") << QByteArray("5") << -1 << qint64(5);
    QTest::newRow("5.0") << QByteArray("5.0") << -1 << qint64(5);
    QTest::newRow("max") << QByteArray("9223372036854775807") << -1 << kMax;
    QTest::newRow("min") << QByteArray("-9223372036854775808") << -1 << kMin;
    QTest::newRow("fraction") << QByteArray("5.5") << int(DecodingError::Kind::dataCorrupted) << qint64(0);
    QTest::newRow("too big") << QByteArray("1e19") << int(DecodingError::Kind::dataCorrupted) << qint64(0);
    QTest::newRow("numeric string") << QByteArray("\"5\"") << int(DecodingError::Kind::typeMismatch) << qint64(0);
    QTest::newRow("null") << QByteArray("null") << int(DecodingError::Kind::valueNotFound) << qint64(0);
    QTest::newRow("absent") << QByteArray("<absent>") << int(DecodingError::Kind::keyNotFound) << qint64(0);
}

void TestLenientJson::strictInt()
{
    QFETCH(QByteArray, fragment);
    QFETCH(int, errorKind);
    QFETCH(qint64, expected);
    try {
        const qint64 value = ::strictInt(memberObject(fragment), "v"_L1);
        QCOMPARE(errorKind, -1);
        QCOMPARE(value, expected);
    } catch (const DecodingError &error) {
        QCOMPARE(int(error.kind()), errorKind);
        QCOMPARE(error.codingPath(), QStringList{u"v"_s});
    }
}

void TestLenientJson::decodeListReportsElementPath()
{
    // A strict list names the failing element and the key that holds it.
    try {
        (void)InitConfigResponse::fromJson(jsonValue(R"({"examBankList":[{"id":1},{"id":2},"x"]})"));
        QFAIL("a non-object bank must fail the strict list");
    } catch (const DecodingError &error) {
        QCOMPARE(error.kind(), DecodingError::Kind::typeMismatch);
        QCOMPARE(error.codingPathText(), u"examBankList[2]"_s);
        QVERIFY(error.localizedDescription().contains(u"examBankList[2]"_s));
    }
    QVERIFY_THROWS_EXCEPTION(DecodingError, (void)decodeList<ExamBank>(jsonValue("{}")));
    QVERIFY_THROWS_EXCEPTION(DecodingError, (void)decodeList<QString>(jsonValue(R"(["a", 1])")));
    QCOMPARE(decodeList<QString>(jsonValue(R"(["a", "b"])")), (QList<QString>{u"a"_s, u"b"_s}));
}

void TestLenientJson::containerStep_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("errorKind");

    QTest::newRow("object") << QByteArray("{}") << -1;
    QTest::newRow("null") << QByteArray("null") << int(DecodingError::Kind::valueNotFound);
    QTest::newRow("string") << QByteArray("\"{}\"") << int(DecodingError::Kind::typeMismatch);
    QTest::newRow("number") << QByteArray("1") << int(DecodingError::Kind::typeMismatch);
    QTest::newRow("array") << QByteArray("[{}]") << int(DecodingError::Kind::typeMismatch);
}

void TestLenientJson::containerStep()
{
    QFETCH(QByteArray, text);
    QFETCH(int, errorKind);
    try {
        const ExamBank bank = ExamBank::fromJson(jsonValue(text));
        QCOMPARE(errorKind, -1);
        QCOMPARE(bank, ExamBank());
    } catch (const DecodingError &error) {
        QCOMPARE(int(error.kind()), errorKind);
        QVERIFY(error.codingPath().isEmpty());
    }
    // A missing value (QJsonValue::Undefined) is no object either.
    QVERIFY_THROWS_EXCEPTION(DecodingError, (void)ExamBank::fromJson(QJsonValue(QJsonValue::Undefined)));
}

void TestLenientJson::localizedDescriptionIsChinese()
{
    const DecodingError missing = DecodingError::keyNotFound(u"token"_s);
    QCOMPARE(missing.localizedDescription(), u"数据解析失败：缺少字段“token”"_s);
    const DecodingError nested = DecodingError::typeMismatch(u"title"_s, u"文本"_s).nested(u"[0]"_s).nested(u"list"_s);
    QCOMPARE(nested.codingPathText(), u"list[0].title"_s);
    QCOMPARE(nested.localizedDescription(), u"数据解析失败：字段“list[0].title”类型不符（应为文本）"_s);
    const DecodingError corrupted = DecodingError::dataCorrupted(u"id"_s, u"缺少练习记录 ID"_s);
    QCOMPARE(corrupted.localizedDescription(), u"数据解析失败：缺少练习记录 ID"_s);
    QCOMPARE(QString::fromUtf8(corrupted.what()), corrupted.localizedDescription());
}

void TestLenientJson::tolerantBool_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<bool>("expected");

    QTest::newRow("true") << QByteArray("true") << true;
    QTest::newRow("false") << QByteArray("false") << false;
    QTest::newRow("number 1") << QByteArray("1") << false;
    QTest::newRow("string true") << QByteArray("\"true\"") << false;
    QTest::newRow("null") << QByteArray("null") << false;
    QTest::newRow("absent") << QByteArray("<absent>") << false;
}

void TestLenientJson::tolerantBool()
{
    QFETCH(QByteArray, fragment);
    QFETCH(bool, expected);
    QCOMPARE(::tolerantBool(memberObject(fragment), "v"_L1, false), expected);
}

QTEST_GUILESS_MAIN(TestLenientJson)
#include "tst_lenientjson.moc"
