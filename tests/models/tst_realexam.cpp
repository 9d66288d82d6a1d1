#include "ModelTestSupport.h"

#include "models/LenientJson.h"
#include "models/RealExamDetail.h"
#include "models/RealExamDetailRequest.h"
#include "models/RealExamListRequest.h"
#include "models/RealExamSection.h"
#include "models/RealExamSummary.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

// A paper of `count` questions q0, q1, … and the given extraInfo.
RealExamDetail paper(int count, const QString &extraInfo)
{
    RealExamDetail detail;
    detail.id = u"p1"_s;
    detail.name = u"2023 国考"_s;
    detail.userExamLogId = u"log7"_s;
    detail.materialsList = {Material{u"m"_s, u"材料"_s, u"<p>"_s}};
    for (int i = 0; i < count; ++i) {
        Question question;
        question.id = u"q"_s + QString::number(i);
        detail.questionList.append(question);
    }
    detail.extraInfo = extraInfo;
    return detail;
}

QString section(qint64 begin, qint64 end, const QString &title)
{
    return QStringLiteral(R"({"rangBegin":%1,"rangEnd":%2,"title":"%3","des":"说明"})").arg(begin).arg(end).arg(title);
}

// The ids of a list, with each section intro shown by its title.
QStringList shape(const QList<Question> &questions)
{
    QStringList ids;
    for (const Question &question : questions)
        ids.append(question.sectionIntro ? question.sectionIntro->title : question.id);
    return ids;
}

} // namespace

class TestRealExam : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void summary_data();
    void summary();
    void detailDecoding();
    void sections_data();
    void sections();
    void questionModel_data();
    void questionModel();
    void questionModelMembers();
    void sectionIntroFactory_data();
    void sectionIntroFactory();
    void sectionDecoding_data();
    void sectionDecoding();
    void requestBodies();
};

void TestRealExam::summary_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("id");
    QTest::addColumn<qint64>("needVip");

    QTest::newRow("needVip string 1") << QByteArray(R"({"id":"a","needVip":"1"})") << u"a"_s << qint64(1);
    QTest::newRow("needVip missing") << QByteArray(R"({"id":"a"})") << u"a"_s << qint64(0);
    QTest::newRow("needVip null") << QByteArray(R"({"id":"a","needVip":null})") << u"a"_s << qint64(0);
    QTest::newRow("numeric id") << QByteArray(R"({"id":1024,"needVip":1})") << u"1024"_s << qint64(1);
}

void TestRealExam::summary()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, id);
    QFETCH(qint64, needVip);
    const RealExamSummary summary = RealExamSummary::fromJson(jsonValue(json));
    QCOMPARE(summary.id, id);
    QCOMPARE(summary.needVip, needVip);
    QCOMPARE(RealExamSummary::fromJson(summary.toJson()), summary);
    QCOMPARE(summary.toJson().value("needVip"_L1), QJsonValue(needVip));
}

void TestRealExam::detailDecoding()
{
    const RealExamDetail detail = RealExamDetail::fromJson(jsonValue(
        R"({"id":5,"name":"卷","remark":"r","questionList":[{"id":"q"},"bare"],"materialsList":[{"id":"m"}],
            "extraInfo":"[]"})"));
    QCOMPARE(detail.id, u"5"_s);
    QVERIFY(detail.questionList.isEmpty()); // one non-object empties the list
    QCOMPARE(detail.materialsList.size(), 1);
    QCOMPARE(detail.extraInfo, u"[]"_s);
    QCOMPARE(detail.userExamLogId, QString());
    // No userExamLogId still gives a present (empty) userExamId.
    QCOMPARE(detail.questionModel().userExamId, std::optional<QString>(QString()));
    QVERIFY_THROWS_EXCEPTION(DecodingError, (void)RealExamDetail::fromJson(jsonValue("null")));
}

void TestRealExam::sections_data()
{
    QTest::addColumn<QString>("extraInfo");
    QTest::addColumn<int>("count");

    QTest::newRow("empty text") << QString() << 0;
    QTest::newRow("empty array") << u"[]"_s << 0;
    QTest::newRow("two sections") << u"["_s + section(0, 1, u"A"_s) + u","_s + section(2, 4, u"B"_s) + u"]"_s << 2;
    QTest::newRow("extra keys ignored") << uR"([{"rangBegin":0,"rangEnd":1,"title":"A","des":"","x":1}])"_s << 1;
    QTest::newRow("second lacks des")
        << u"["_s + section(0, 1, u"A"_s) + uR"(,{"rangBegin":2,"rangEnd":4,"title":"B"}])"_s << 0;
    QTest::newRow("object, not array") << section(0, 1, u"A"_s) << 0;
    QTest::newRow("rangBegin as string") << uR"([{"rangBegin":"3","rangEnd":4,"title":"A","des":""}])"_s << 0;
    QTest::newRow("rangBegin fraction") << uR"([{"rangBegin":3.5,"rangEnd":4,"title":"A","des":""}])"_s << 0;
    QTest::newRow("not JSON") << u"[{"_s << 0;
    QTest::newRow("trailing garbage") << u"[] x"_s << 0;
}

void TestRealExam::sections()
{
    QFETCH(QString, extraInfo);
    QFETCH(int, count);
    const RealExamDetail detail = paper(5, extraInfo);
    QCOMPARE(detail.sections().size(), count);
    if (count == 0) // no sections: the paper's questions unchanged
        QCOMPARE(detail.questionModel().questionList, detail.questionList);
}

void TestRealExam::questionModel_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("extraInfo");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("in order") << 5 << u"["_s + section(0, 1, u"A"_s) + u","_s + section(2, 4, u"B"_s) + u"]"_s
                              << QStringList{u"A"_s, u"q0"_s, u"q1"_s, u"B"_s, u"q2"_s, u"q3"_s, u"q4"_s};
    QTest::newRow("out of order") << 5 << u"["_s + section(2, 4, u"B"_s) + u","_s + section(0, 1, u"A"_s) + u"]"_s
                                  << QStringList{u"q0"_s, u"A"_s, u"q1"_s, u"B"_s, u"q2"_s, u"q3"_s, u"q4"_s};
    QTest::newRow("past the end, in section order")
        << 2 << u"["_s + section(10, 12, u"X"_s) + u","_s + section(3, 4, u"Y"_s) + u"]"_s
        << QStringList{u"q0"_s, u"q1"_s, u"X"_s, u"Y"_s};
    QTest::newRow("negative begin goes first") << 2 << u"["_s + section(-5, 1, u"N"_s) + u"]"_s
                                               << QStringList{u"N"_s, u"q0"_s, u"q1"_s};
    QTest::newRow("minimum begin goes first") << 1 << u"["_s + section(kMin, 0, u"N"_s) + u"]"_s
                                              << QStringList{u"N"_s, u"q0"_s};
    // rangBegin + index would overflow: the intro goes to the end.
    QTest::newRow("maximum begin plus index")
        << 2 << u"["_s + section(0, 0, u"A"_s) + u","_s + section(kMax, kMax, u"Z"_s) + u"]"_s
        << QStringList{u"A"_s, u"q0"_s, u"q1"_s, u"Z"_s};
    QTest::newRow("no questions") << 0 << u"["_s + section(0, 4, u"A"_s) + u"]"_s << QStringList{u"A"_s};
}

void TestRealExam::questionModel()
{
    QFETCH(int, questions);
    QFETCH(QString, extraInfo);
    QFETCH(QStringList, expected);
    QCOMPARE(shape(paper(questions, extraInfo).questionModel().questionList), expected);
}

void TestRealExam::questionModelMembers()
{
    const RealExamDetail detail = paper(3, u"["_s + section(1, 2, u"A"_s) + u"]"_s);
    const QuestionModel model = detail.questionModel();
    QCOMPARE(model.materialsList, detail.materialsList);
    QCOMPARE(model.userExamId, std::optional<QString>(u"log7"_s));
    QCOMPARE(model.title, std::optional<QString>(u"2023 国考"_s));
    QCOMPARE(model.questionList.at(1).id, u"real-exam-section-0-1-2"_s);
    QCOMPARE(model.questionList.at(1).sectionIntro->questionCount, qint64(2));
}

void TestRealExam::sectionIntroFactory_data()
{
    QTest::addColumn<qint64>("begin");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<qint64>("index");
    QTest::addColumn<QString>("id");
    QTest::addColumn<qint64>("count");

    QTest::newRow("0 to 4") << qint64(0) << qint64(4) << qint64(0) << u"real-exam-section-0-0-4"_s << qint64(5);
    QTest::newRow("7 to 3") << qint64(7) << qint64(3) << qint64(1) << u"real-exam-section-1-7-3"_s << qint64(0);
    QTest::newRow("5 to 5") << qint64(5) << qint64(5) << qint64(0) << u"real-exam-section-0-5-5"_s << qint64(1);
    QTest::newRow("10 to 19") << qint64(10) << qint64(19) << qint64(2) << u"real-exam-section-2-10-19"_s << qint64(10);
    QTest::newRow("negative begin") << qint64(-3) << qint64(2) << qint64(0) << u"real-exam-section-0--3-2"_s
                                    << qint64(6);
    QTest::newRow("count just fits") << qint64(1) << kMax << qint64(0)
                                     << u"real-exam-section-0-1-9223372036854775807"_s << kMax;
    QTest::newRow("count one past max") << qint64(0) << kMax << qint64(0)
                                        << u"real-exam-section-0-0-9223372036854775807"_s << qint64(0);
    QTest::newRow("span overflows") << kMin << kMax << qint64(3)
                                    << u"real-exam-section-3--9223372036854775808-9223372036854775807"_s << qint64(0);
    QTest::newRow("negative span overflows") << kMax << kMin << qint64(0)
                                             << u"real-exam-section-0-9223372036854775807--9223372036854775808"_s
                                             << qint64(0);
}

void TestRealExam::sectionIntroFactory()
{
    QFETCH(qint64, begin);
    QFETCH(qint64, end);
    QFETCH(qint64, index);
    QFETCH(QString, id);
    QFETCH(qint64, count);
    const RealExamSection section{begin, end, u"第一部分"_s, u"共十题"_s};
    const Question intro = Question::makeSectionIntro(section, index);
    QCOMPARE(intro.id, id);
    QVERIFY(intro.sectionIntro.has_value());
    QCOMPARE(*intro.sectionIntro, (QuestionSectionIntro{u"第一部分"_s, u"共十题"_s, count}));
    QCOMPARE(intro.context, u"第一部分"_s);
    QCOMPARE(intro.analysis, u"共十题"_s);
    QCOMPARE(intro.useTime, u"0"_s);
    QCOMPARE(intro.questionType, QuestionType::single);
    QVERIFY(intro.answer.isEmpty() && intro.userAnswer.isEmpty() && intro.menuId.isEmpty());
    QVERIFY(intro.questionOptions.isEmpty());
    QVERIFY(!intro.materialsId.has_value());
    QVERIFY(!intro.isCollect);
    // The id depends on index and range only.
    QCOMPARE(Question::makeSectionIntro(RealExamSection{begin, end, u"other"_s, QString()}, index).id, id);
}

void TestRealExam::sectionDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");

    QTest::newRow("complete") << QByteArray(R"({"rangBegin":0,"rangEnd":4,"title":"t","des":"d"})") << true;
    QTest::newRow("null des") << QByteArray(R"({"rangBegin":0,"rangEnd":4,"title":"t","des":null})") << false;
    QTest::newRow("numeric title") << QByteArray(R"({"rangBegin":0,"rangEnd":4,"title":1,"des":"d"})") << false;
    QTest::newRow("missing rangEnd") << QByteArray(R"({"rangBegin":0,"title":"t","des":"d"})") << false;
}

void TestRealExam::sectionDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);
    try {
        const RealExamSection section = RealExamSection::fromJson(jsonValue(json));
        QVERIFY(decodes);
        QCOMPARE(QJsonValue(section.toJson()), jsonValue(json));
    } catch (const DecodingError &) {
        QVERIFY(!decodes);
    }
}

void TestRealExam::requestBodies()
{
    const RealExamListRequest list{u"103"_s, 2, 10};
    QCOMPARE(compactJson(list.toJson()), QByteArray(R"({"current":2,"examBankId":"103","pageSize":10})"));
    QCOMPARE(RealExamListRequest::fromJson(list.toJson()), list);
    QVERIFY_THROWS_EXCEPTION(DecodingError,
                             (void)RealExamListRequest::fromJson(jsonValue(R"({"examBankId":"1","current":"1","pageSize":10})")));

    const RealExamDetailRequest detail{u"103"_s, u"p1"_s};
    QCOMPARE(compactJson(detail.toJson()), QByteArray(R"({"examBankId":"103","id":"p1"})"));
    QCOMPARE(RealExamDetailRequest::fromJson(detail.toJson()), detail);
    QVERIFY_THROWS_EXCEPTION(DecodingError, (void)RealExamDetailRequest::fromJson(jsonValue(R"({"examBankId":"1"})")));
}

QTEST_GUILESS_MAIN(TestRealExam)
#include "tst_realexam.moc"
