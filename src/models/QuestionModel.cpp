#include "QuestionModel.h"

#include "models/LenientJson.h"
#include "models/ModelHashing.h"

using namespace Qt::StringLiterals;

QuestionModel QuestionModel::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    QuestionModel model;
    model.materialsList = flexibleList<Material>(object, "materialsList"_L1);
    model.questionList = strictList<Question>(object, "questionList"_L1);
    model.userExamId = flexibleOptionalString(object, "userExamId"_L1);
    model.title = flexibleOptionalString(object, "title"_L1);
    return model;
}

QJsonObject QuestionModel::toJson() const
{
    QJsonObject object;
    object.insert("materialsList"_L1, encodeList(materialsList));
    object.insert("questionList"_L1, encodeList(questionList));
    if (userExamId)
        object.insert("userExamId"_L1, *userExamId);
    if (title)
        object.insert("title"_L1, *title);
    return object;
}

size_t qHash(const QuestionModel &model, size_t seed)
{
    seed = qHashList(model.materialsList, seed);
    seed = qHashList(model.questionList, seed);
    seed = qHashOptional(model.userExamId, seed);
    return qHashOptional(model.title, seed);
}
