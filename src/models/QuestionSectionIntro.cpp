#include "QuestionSectionIntro.h"

#include "models/LenientJson.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

QuestionSectionIntro QuestionSectionIntro::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    QuestionSectionIntro intro;
    intro.title = strictString(object, "title"_L1);
    intro.description = strictString(object, "description"_L1);
    intro.questionCount = strictInt(object, "questionCount"_L1);
    return intro;
}

QJsonObject QuestionSectionIntro::toJson() const
{
    return QJsonObject{{"title"_L1, title}, {"description"_L1, description}, {"questionCount"_L1, questionCount}};
}

size_t qHash(const QuestionSectionIntro &intro, size_t seed)
{
    return qHashMulti(seed, intro.title, intro.description, intro.questionCount);
}
