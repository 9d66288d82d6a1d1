#include "HistoryReport.h"

#include "models/LenientJson.h"
#include "models/ModelHashing.h"
#include "models/RealExamDetail.h"
#include "models/RealExamSection.h"

using namespace Qt::StringLiterals;

HistoryReport HistoryReport::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    HistoryReport report;
    report.rightNum = flexibleInt(object, "rightNum"_L1, 0);
    report.useTime = flexibleString(object, "useTime"_L1, QStringLiteral("0"));
    report.wrongNum = flexibleInt(object, "wrongNum"_L1, 0);
    report.unAnswerNum = flexibleInt(object, "unAnswerNum"_L1, 0);
    report.commitTime = flexibleString(object, "commitTime"_L1);
    report.title = flexibleString(object, "title"_L1, QStringLiteral("练习报告"));
    report.examId = flexibleString(object, "examId"_L1);
    report.logId = flexibleString(object, "logId"_L1);
    report.materialsList = flexibleList<Material>(object, "materialsList"_L1);
    report.questionList = flexibleList<Question>(object, "questionList"_L1);
    report.extraInfo = flexibleOptionalString(object, "extraInfo"_L1);
    return report;
}

QJsonObject HistoryReport::toJson() const
{
    QJsonObject object;
    object.insert("rightNum"_L1, rightNum);
    object.insert("useTime"_L1, useTime);
    object.insert("wrongNum"_L1, wrongNum);
    object.insert("unAnswerNum"_L1, unAnswerNum);
    object.insert("commitTime"_L1, commitTime);
    object.insert("title"_L1, title);
    object.insert("examId"_L1, examId);
    object.insert("logId"_L1, logId);
    object.insert("materialsList"_L1, encodeList(materialsList));
    object.insert("questionList"_L1, encodeList(questionList));
    if (extraInfo)
        object.insert("extraInfo"_L1, *extraInfo);
    return object;
}

qint64 HistoryReport::rightRate() const
{
    // Exact integer arithmetic: 29 right of 100 is 29 (a double quotient times
    // 100 would give 28). 128 bits hold any sum of three 64-bit counts and the
    // product by 100, so odd counts from the service cannot overflow.
    __extension__ typedef __int128 Wide;
    const Wide total = Wide(rightNum) + Wide(wrongNum) + Wide(unAnswerNum);
    if (total <= 0)
        return 0;
    const Wide rate = Wide(rightNum) * 100 / total;
    if (rate < 0)
        return 0;
    if (rate > 100)
        return 100;
    return qint64(rate);
}

QuestionModel HistoryReport::resumedQuestionModel(const QString &recordID) const
{
    const QList<RealExamSection> sections =
        extraInfo ? RealExamSection::listFromText(*extraInfo) : QList<RealExamSection>();
    QuestionModel model;
    model.materialsList = materialsList;
    model.questionList = RealExamDetail::insertingSectionIntros(questionList, sections);
    model.userExamId = logId.isEmpty() ? recordID : logId;
    model.title = title;
    return model;
}

size_t qHash(const HistoryReport &report, size_t seed)
{
    seed = qHashMulti(seed, report.rightNum, report.useTime, report.wrongNum, report.unAnswerNum,
                      report.commitTime, report.title, report.examId, report.logId);
    seed = qHashList(report.materialsList, seed);
    seed = qHashList(report.questionList, seed);
    return qHashOptional(report.extraInfo, seed);
}
