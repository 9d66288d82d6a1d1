#include "VIPStatusResponse.h"

#include "models/LenientJson.h"
#include "platform/Clock.h"

using namespace Qt::StringLiterals;

VIPStatusResponse VIPStatusResponse::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    // The default is read before the member, even when the member is present.
    const qint64 now = Clock::shared().nowMilliseconds();
    VIPStatusResponse response;
    response.currentTimeMilliseconds = flexibleInt64(object, "currentTime"_L1, now);
    response.userVipList = flexibleList<VIPExpireItem>(object, "userVipList"_L1);
    return response;
}
