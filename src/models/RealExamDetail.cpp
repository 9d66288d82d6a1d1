#include "RealExamDetail.h"

#include "models/LenientJson.h"

using namespace Qt::StringLiterals;

RealExamDetail RealExamDetail::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    RealExamDetail detail;
    detail.id = flexibleString(object, "id"_L1);
    detail.name = flexibleString(object, "name"_L1);
    detail.remark = flexibleString(object, "remark"_L1);
    detail.materialsList = flexibleList<Material>(object, "materialsList"_L1);
    detail.questionList = flexibleList<Question>(object, "questionList"_L1);
    detail.userExamLogId = flexibleString(object, "userExamLogId"_L1);
    detail.extraInfo = flexibleString(object, "extraInfo"_L1);
    return detail;
}

QList<RealExamSection> RealExamDetail::sections() const
{
    return RealExamSection::listFromText(extraInfo);
}

QuestionModel RealExamDetail::questionModel() const
{
    QuestionModel model;
    model.materialsList = materialsList;
    model.questionList = insertingSectionIntros(questionList, sections());
    model.userExamId = userExamLogId; // present even when empty
    model.title = name;
    return model;
}

QList<Question> RealExamDetail::insertingSectionIntros(QList<Question> questions,
                                                       const QList<RealExamSection> &sections)
{
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const RealExamSection &section = sections.at(i);
        // rangBegin + i counts the intros already inserted before this one; a
        // sum beyond the 64-bit range can only mean "past the end".
        const qint64 length = questions.size();
        qint64 point = 0;
        if (__builtin_add_overflow(section.rangBegin, qint64(i), &point) || point > length)
            point = length;
        if (point < 0)
            point = 0;
        questions.insert(qsizetype(point), Question::makeSectionIntro(section, i));
    }
    return questions;
}
