#include "LoginResponse.h"

#include "models/LenientJson.h"

using namespace Qt::StringLiterals;

LoginResponse LoginResponse::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    LoginResponse response;
    response.id = strictString(object, "id"_L1);
    response.mobile = strictString(object, "mobile"_L1);
    response.token = strictString(object, "token"_L1);
    return response;
}

QJsonObject LoginResponse::toJson() const
{
    return QJsonObject{{"id"_L1, id}, {"mobile"_L1, mobile}, {"token"_L1, token}};
}
