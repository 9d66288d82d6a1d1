#include "CommitResult.h"

#include "models/LenientJson.h"

using namespace Qt::StringLiterals;

CommitResult CommitResult::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    CommitResult result;
    result.rightNum = strictInt(object, "rightNum"_L1);
    result.useTime = strictString(object, "useTime"_L1);
    result.wrongNum = strictInt(object, "wrongNum"_L1);
    result.unAnswerNum = strictInt(object, "unAnswerNum"_L1);
    return result;
}

QJsonObject CommitResult::toJson() const
{
    return QJsonObject{{"rightNum"_L1, rightNum},
                       {"useTime"_L1, useTime},
                       {"wrongNum"_L1, wrongNum},
                       {"unAnswerNum"_L1, unAnswerNum}};
}
