#include "CommitExamRequest.h"

#include "models/LenientJson.h"

using namespace Qt::StringLiterals;

UserAnswerRequest UserAnswerRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    UserAnswerRequest request;
    request.questionId = strictString(object, "questionId"_L1);
    request.userAnswer = strictString(object, "userAnswer"_L1);
    request.useTime = strictInt(object, "useTime"_L1);
    return request;
}

QJsonObject UserAnswerRequest::toJson() const
{
    return QJsonObject{{"questionId"_L1, questionId}, {"userAnswer"_L1, userAnswer}, {"useTime"_L1, useTime}};
}

CommitExamRequest CommitExamRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    CommitExamRequest request;
    request.userExamId = strictString(object, "userExamId"_L1);
    request.costTime = strictInt(object, "costTime"_L1);
    request.userAnswerList = strictList<UserAnswerRequest>(object, "userAnswerList"_L1);
    return request;
}

QJsonObject CommitExamRequest::toJson() const
{
    return QJsonObject{{"userExamId"_L1, userExamId},
                       {"costTime"_L1, costTime},
                       {"userAnswerList"_L1, encodeList(userAnswerList)}};
}
