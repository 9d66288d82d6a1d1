#include "ModelTestSupport.h"

#include "models/ExamMode.h"
#include "models/LenientJson.h"
#include "models/Question.h"
#include "models/QuestionModel.h"
#include "models/QuestionType.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Question questionWith(QuestionType type, const QString &answer)
{
    Question question;
    question.id = u"q"_s;
    question.questionType = type;
    question.answer = answer;
    return question;
}

QSet<QString> letters(const QString &text)
{
    QSet<QString> set;
    for (QChar c : text)
        set.insert(QString(c));
    return set;
}

} // namespace

class TestQuestionRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void questionModelDecoding_data();
    void questionModelDecoding();
    void defaultQuestion();
    void questionMembers_data();
    void questionMembers();
    void questionType_data();
    void questionType();
    void questionOptions_data();
    void questionOptions();
    void sectionIntroMember_data();
    void sectionIntroMember();
    void questionRoundTrip();
    void materialsIdEncoding();
    void questionModelEncoding();
    void enumerations();
    void strictQuestionType_data();
    void strictQuestionType();
    void answerSet_data();
    void answerSet();
    void isCorrect_data();
    void isCorrect();
};

void TestQuestionRecords::questionModelDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("questions"); // -1: fails
    QTest::addColumn<int>("materials");
    QTest::addColumn<QString>("userExamId"); // "<none>": absent
    QTest::addColumn<QString>("title");

    QTest::newRow("only empty questionList")
        << QByteArray(R"({"questionList":[]})") << 0 << 0 << u"<none>"_s << u"<none>"_s;
    QTest::newRow("empty object") << QByteArray("{}") << -1 << 0 << QString() << QString();
    QTest::newRow("questionList null") << QByteArray(R"({"questionList":null})") << -1 << 0 << QString() << QString();
    QTest::newRow("questionList object") << QByteArray(R"({"questionList":{}})") << -1 << 0 << QString() << QString();
    QTest::newRow("questionList holds 1") << QByteArray(R"({"questionList":[1]})") << -1 << 0 << QString() << QString();
    QTest::newRow("questionList holds null")
        << QByteArray(R"({"questionList":[{},null]})") << -1 << 0 << QString() << QString();
    QTest::newRow("not an object") << QByteArray(R"([{"questionList":[]}])") << -1 << 0 << QString() << QString();
    QTest::newRow("material and string")
        << QByteArray(R"({"materialsList":[{"id":"m"},"x"],"questionList":[{}]})") << 1 << 0 << u"<none>"_s
        << u"<none>"_s;
    QTest::newRow("materials")
        << QByteArray(R"({"materialsList":[{"id":"m","title":"t","context":"<p>"}],"questionList":[{},{}]})") << 2
        << 1 << u"<none>"_s << u"<none>"_s;
    QTest::newRow("empty ids give nothing")
        << QByteArray(R"({"questionList":[],"userExamId":"","title":""})") << 0 << 0 << u"<none>"_s << u"<none>"_s;
    QTest::newRow("numeric userExamId")
        << QByteArray(R"({"questionList":[],"userExamId":9001,"title":"专项"})") << 0 << 0 << u"9001"_s << u"专项"_s;
}

void TestQuestionRecords::questionModelDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(int, questions);
    QFETCH(int, materials);
    QFETCH(QString, userExamId);
    QFETCH(QString, title);
    try {
        const QuestionModel model = QuestionModel::fromJson(jsonValue(json));
        QCOMPARE(model.questionList.size(), questions);
        QCOMPARE(model.materialsList.size(), materials);
        QCOMPARE(model.userExamId.value_or(u"<none>"_s), userExamId);
        QCOMPARE(model.title.value_or(u"<none>"_s), title);
    } catch (const DecodingError &error) {
        QCOMPARE(questions, -1);
        QVERIFY(error.codingPath().isEmpty() || error.codingPath().first() == u"questionList"_s);
    }
}

void TestQuestionRecords::defaultQuestion()
{
    const QuestionModel model = QuestionModel::fromJson(jsonValue(R"({"questionList":[{}]})"));
    QCOMPARE(model.questionList.size(), 1);
    const Question &question = model.questionList.first();
    Question expected;
    QCOMPARE(question, expected);
    QCOMPARE(question.useTime, u"0"_s);
    QVERIFY(question.id.isEmpty() && question.answer.isEmpty() && question.userAnswer.isEmpty());
    QVERIFY(question.questionOptions.isEmpty());
    QCOMPARE(question.questionType, QuestionType::single);
    QVERIFY(!question.isCollect);
    QVERIFY(!question.materialsId.has_value());
    QVERIFY(!question.sectionIntro.has_value());
}

void TestQuestionRecords::questionMembers_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("materialsId"); // "<none>": absent
    QTest::addColumn<QString>("useTime");
    QTest::addColumn<bool>("isCollect");

    QTest::newRow("numeric id") << QByteArray(R"({"id":123})") << u"123"_s << u"<none>"_s << u"0"_s << false;
    QTest::newRow("fractional id") << QByteArray(R"({"id":12.5})") << u"12.5"_s << u"<none>"_s << u"0"_s << false;
    QTest::newRow("materialsId 0") << QByteArray(R"({"materialsId":0})") << QString() << u"0"_s << u"0"_s << false;
    QTest::newRow("materialsId empty") << QByteArray(R"({"materialsId":""})") << QString() << u"<none>"_s << u"0"_s
                                       << false;
    QTest::newRow("useTime null") << QByteArray(R"({"useTime":null})") << QString() << u"<none>"_s << u"0"_s << false;
    QTest::newRow("useTime empty") << QByteArray(R"({"useTime":""})") << QString() << u"<none>"_s << QString()
                                   << false;
    QTest::newRow("useTime 35") << QByteArray(R"({"useTime":35})") << QString() << u"<none>"_s << u"35"_s << false;
    QTest::newRow("isCollect true") << QByteArray(R"({"isCollect":true})") << QString() << u"<none>"_s << u"0"_s
                                    << true;
    QTest::newRow("isCollect false") << QByteArray(R"({"isCollect":false})") << QString() << u"<none>"_s << u"0"_s
                                     << false;
    QTest::newRow("isCollect 1") << QByteArray(R"({"isCollect":1})") << QString() << u"<none>"_s << u"0"_s << false;
    QTest::newRow("isCollect string") << QByteArray(R"({"isCollect":"true"})") << QString() << u"<none>"_s << u"0"_s
                                      << false;
    QTest::newRow("isCollect null") << QByteArray(R"({"isCollect":null})") << QString() << u"<none>"_s << u"0"_s
                                    << false;
}

void TestQuestionRecords::questionMembers()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, id);
    QFETCH(QString, materialsId);
    QFETCH(QString, useTime);
    QFETCH(bool, isCollect);
    const Question question = Question::fromJson(jsonValue(json));
    QCOMPARE(question.id, id);
    QCOMPARE(question.materialsId.value_or(u"<none>"_s), materialsId);
    QCOMPARE(question.useTime, useTime);
    QCOMPARE(question.isCollect, isCollect);
}

void TestQuestionRecords::questionType_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<QuestionType>("expected");

    QTest::newRow("2") << QByteArray("2") << QuestionType::multiple;
    QTest::newRow("string 2") << QByteArray("\"2\"") << QuestionType::multiple;
    QTest::newRow("3") << QByteArray("3") << QuestionType::answer;
    QTest::newRow("string 3") << QByteArray("\"3\"") << QuestionType::answer;
    QTest::newRow("1") << QByteArray("1") << QuestionType::single;
    QTest::newRow("0") << QByteArray("0") << QuestionType::single;
    QTest::newRow("4") << QByteArray("4") << QuestionType::single;
    QTest::newRow("-1") << QByteArray("-1") << QuestionType::single;
    QTest::newRow("2.5") << QByteArray("2.5") << QuestionType::single;
    QTest::newRow("letters") << QByteArray("\"multi\"") << QuestionType::single;
    QTest::newRow("null") << QByteArray("null") << QuestionType::single;
    QTest::newRow("absent") << QByteArray("<absent>") << QuestionType::single;
}

void TestQuestionRecords::questionType()
{
    QFETCH(QByteArray, fragment);
    QFETCH(QuestionType, expected);
    QJsonObject object;
    if (fragment != "<absent>")
        object.insert("questionType"_L1, jsonValue(fragment));
    QCOMPARE(Question::fromJson(object).questionType, expected);
}

void TestQuestionRecords::questionOptions_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("texts") << QByteArray(R"(["<p>甲</p>","<p>乙</p>"])") << QStringList{u"<p>甲</p>"_s, u"<p>乙</p>"_s};
    QTest::newRow("string and number") << QByteArray(R"(["a",1])") << QStringList();
    QTest::newRow("single string") << QByteArray(R"("a")") << QStringList();
    QTest::newRow("null") << QByteArray("null") << QStringList();
}

void TestQuestionRecords::questionOptions()
{
    QFETCH(QByteArray, fragment);
    QFETCH(QStringList, expected);
    QJsonObject object;
    object.insert("questionOptions"_L1, jsonValue(fragment));
    QCOMPARE(Question::fromJson(object).questionOptions, expected);
}

void TestQuestionRecords::sectionIntroMember_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<bool>("present");

    QTest::newRow("complete") << QByteArray(R"({"title":"一","description":"d","questionCount":5})") << true;
    QTest::newRow("count as string") << QByteArray(R"({"title":"一","description":"d","questionCount":"5"})")
                                     << false;
    QTest::newRow("count fraction") << QByteArray(R"({"title":"一","description":"d","questionCount":5.5})")
                                    << false;
    QTest::newRow("missing description") << QByteArray(R"({"title":"一","questionCount":5})") << false;
    QTest::newRow("null") << QByteArray("null") << false;
    QTest::newRow("array") << QByteArray("[]") << false;
}

void TestQuestionRecords::sectionIntroMember()
{
    QFETCH(QByteArray, fragment);
    QFETCH(bool, present);
    QJsonObject object = jsonObject(R"({"id":"q7","answer":"A"})");
    object.insert("sectionIntro"_L1, jsonValue(fragment));
    const Question question = Question::fromJson(object);
    QCOMPARE(question.sectionIntro.has_value(), present);
    // The rest of the question decodes as usual either way.
    QCOMPARE(question.id, u"q7"_s);
    QCOMPARE(question.answer, u"A"_s);
    if (present)
        QCOMPARE(*question.sectionIntro, (QuestionSectionIntro{u"一"_s, u"d"_s, 5}));
    if (!present)
        QVERIFY_THROWS_EXCEPTION(DecodingError, (void)QuestionSectionIntro::fromJson(jsonValue(fragment)));
}

void TestQuestionRecords::questionRoundTrip()
{
    const Question question{
        u"q1"_s, u"<p>解析</p>"_s, u"AC"_s, u"<p>题干</p>"_s, u"103"_s, u"e9"_s, u"m1"_s, u"menu"_s, u"note"_s,
        u"2023 国考"_s, {u"甲"_s, u"乙"_s, u"丙"_s}, QuestionType::multiple, u"12"_s, u"A"_s, true,
        QuestionSectionIntro{u"t"_s, u"d"_s, 3}};
    const QJsonObject object = question.toJson();
    QCOMPARE(object.size(), 16);
    QCOMPARE(object.value("questionType"_L1), QJsonValue(2));
    QCOMPARE(object.value("isCollect"_L1), QJsonValue(true));
    QVERIFY(object.value("questionOptions"_L1).isArray());
    QVERIFY(object.value("sectionIntro"_L1).isObject());
    const Question decoded = Question::fromJson(object);
    QCOMPARE(decoded, question);
    QCOMPARE(qHash(decoded), qHash(question));

    Question otherAnswer = question;
    otherAnswer.userAnswer = u"C"_s;
    QVERIFY(otherAnswer != question); // same id, different value
}

void TestQuestionRecords::materialsIdEncoding()
{
    Question question;
    QVERIFY(!question.toJson().contains("materialsId"_L1));
    QVERIFY(!question.toJson().contains("sectionIntro"_L1));
    question.materialsId = QString();
    const QJsonObject object = question.toJson();
    QCOMPARE(object.value("materialsId"_L1), QJsonValue(QString()));
    QVERIFY(!Question::fromJson(object).materialsId.has_value());
}

void TestQuestionRecords::questionModelEncoding()
{
    QuestionModel model;
    model.questionList = {Question::fromJson(jsonValue(R"({"id":"1"})"))};
    QCOMPARE(QuestionModel::fromJson(model.toJson()), model);
    QVERIFY(!model.toJson().contains("userExamId"_L1));
    model.materialsList = {Material{u"m"_s, u"材料一"_s, u"<p>x</p>"_s}};
    model.userExamId = u"9001"_s;
    model.title = u"专项"_s;
    const QuestionModel decoded = QuestionModel::fromJson(model.toJson());
    QCOMPARE(decoded, model);
    QCOMPARE(qHash(decoded), qHash(model));
}

void TestQuestionRecords::enumerations()
{
    QCOMPARE(QuestionTypes::allCases(),
             (QList<QuestionType>{QuestionType::single, QuestionType::multiple, QuestionType::answer}));
    QCOMPARE(QuestionTypes::rawValue(QuestionType::answer), qint64(3));
    QCOMPARE(QuestionTypes::fromRawValue(2), std::optional<QuestionType>(QuestionType::multiple));
    for (qint64 raw : {qint64(0), qint64(4), qint64(-1), qint64(258)})
        QVERIFY(!QuestionTypes::fromRawValue(raw).has_value());
    QCOMPARE(QuestionTypes::toJson(QuestionType::multiple), QJsonValue(2));

    QCOMPARE(ExamModes::allCases(), (QList<ExamMode>{ExamMode::practice, ExamMode::review}));
    QCOMPARE(ExamModes::fromRawValue(0), std::optional<ExamMode>(ExamMode::practice));
    QCOMPARE(ExamModes::fromRawValue(1), std::optional<ExamMode>(ExamMode::review));
    QVERIFY(!ExamModes::fromRawValue(2).has_value());
    QCOMPARE(ExamModes::id(ExamMode::review), qint64(1));
}

void TestQuestionRecords::strictQuestionType_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("result"); // raw value, or -kind-1 for an error

    QTest::newRow("1") << QByteArray("1") << 1;
    QTest::newRow("3") << QByteArray("3") << 3;
    QTest::newRow("4") << QByteArray("4") << -int(DecodingError::Kind::dataCorrupted) - 1;
    QTest::newRow("0") << QByteArray("0") << -int(DecodingError::Kind::dataCorrupted) - 1;
    QTest::newRow("2.5") << QByteArray("2.5") << -int(DecodingError::Kind::dataCorrupted) - 1;
    QTest::newRow("string 1") << QByteArray("\"1\"") << -int(DecodingError::Kind::typeMismatch) - 1;
    QTest::newRow("null") << QByteArray("null") << -int(DecodingError::Kind::valueNotFound) - 1;
}

void TestQuestionRecords::strictQuestionType()
{
    QFETCH(QByteArray, json);
    QFETCH(int, result);
    try {
        QCOMPARE(int(QuestionTypes::rawValue(QuestionTypes::fromJson(jsonValue(json)))), result);
    } catch (const DecodingError &error) {
        QCOMPARE(-int(error.kind()) - 1, result);
    }
}

void TestQuestionRecords::answerSet_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // the letters of the set

    QTest::newRow("a, c;C") << u"a, c;C"_s << u"AC"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("digits") << u"123"_s << QString();
    QTest::newRow("sharp s") << u"ß"_s << u"S"_s;
    QTest::newRow("full-width and accented") << u"Ａé选B"_s << u"B"_s;
    QTest::newRow("repeated") << u"bbbBA"_s << u"AB"_s;
    QTest::newRow("dotless i") << u"ı"_s << u"I"_s;
}

void TestQuestionRecords::answerSet()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Question::answerSet(text), letters(expected));
}

void TestQuestionRecords::isCorrect_data()
{
    QTest::addColumn<QuestionType>("type");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("expected");

    const auto multiple = QuestionType::multiple;
    const auto single = QuestionType::single;
    const auto answerType = QuestionType::answer;
    QTest::newRow("AC: CA") << multiple << u"AC"_s << u"CA"_s << true;
    QTest::newRow("AC: ac") << multiple << u"AC"_s << u"ac"_s << true;
    QTest::newRow("AC: A C") << multiple << u"AC"_s << u"A C"_s << true;
    QTest::newRow("AC: A,C,A") << multiple << u"AC"_s << u"A,C,A"_s << true;
    QTest::newRow("AC: A") << multiple << u"AC"_s << u"A"_s << false;
    QTest::newRow("AC: ACD") << multiple << u"AC"_s << u"ACD"_s << false;
    QTest::newRow("AC: empty") << multiple << u"AC"_s << QString() << false;
    QTest::newRow("AC: three blanks") << multiple << u"AC"_s << u"   "_s << false;
    QTest::newRow("AC: ideographic space and line break") << multiple << u"AC"_s << u"\u3000\n\u0085"_s << false;
    QTest::newRow("B: b") << single << u"B"_s << u"b"_s << true;
    QTest::newRow("B: B.") << single << u"B"_s << u"B."_s << true;
    QTest::newRow("B: BB") << single << u"B"_s << u"BB"_s << true;
    QTest::newRow("B: AB") << single << u"B"_s << u"AB"_s << false;
    QTest::newRow("empty answer") << single << QString() << u"A"_s << false;
    QTest::newRow("empty answer, empty given") << single << QString() << QString() << false;
    QTest::newRow("digit answer") << single << u"12"_s << u"12"_s << false;
    QTest::newRow("word: same") << answerType << u"正确"_s << u"正确"_s << true;
    QTest::newRow("word: leading blank") << answerType << u"正确"_s << u" 正确"_s << false;
    QTest::newRow("word: letters don't count") << answerType << u"AB"_s << u"ba"_s << false;
    QTest::newRow("answer type: empty vs empty") << answerType << QString() << QString() << false;
    QTest::newRow("canonically equivalent") << answerType << u"caf\u00e9"_s << u"cafe\u0301"_s << true;
}

void TestQuestionRecords::isCorrect()
{
    QFETCH(QuestionType, type);
    QFETCH(QString, answer);
    QFETCH(QString, given);
    QFETCH(bool, expected);
    QCOMPARE(questionWith(type, answer).isCorrect(given), expected);
}

QTEST_GUILESS_MAIN(TestQuestionRecords)
#include "tst_questionrecords.moc"
