#include "RealExamListRequest.h"

#include "models/LenientJson.h"

using namespace Qt::StringLiterals;

RealExamListRequest RealExamListRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    RealExamListRequest request;
    request.examBankId = strictString(object, "examBankId"_L1);
    request.current = strictInt(object, "current"_L1);
    request.pageSize = strictInt(object, "pageSize"_L1);
    return request;
}

QJsonObject RealExamListRequest::toJson() const
{
    return QJsonObject{{"examBankId"_L1, examBankId}, {"current"_L1, current}, {"pageSize"_L1, pageSize}};
}
