#include "RealExamDetailRequest.h"

#include "models/LenientJson.h"

using namespace Qt::StringLiterals;

RealExamDetailRequest RealExamDetailRequest::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    RealExamDetailRequest request;
    request.examBankId = strictString(object, "examBankId"_L1);
    request.id = strictString(object, "id"_L1);
    return request;
}

QJsonObject RealExamDetailRequest::toJson() const
{
    return QJsonObject{{"examBankId"_L1, examBankId}, {"id"_L1, id}};
}
