#include "VIPStatusCache.h"

#include "models/LenientJson.h"
#include "platform/Clock.h"

#include <limits>

using namespace Qt::StringLiterals;

VIPStatusCache VIPStatusCache::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    VIPStatusCache cache;
    cache.serverCurrentTimeMilliseconds = strictInt(object, "serverCurrentTimeMilliseconds"_L1);
    cache.fetchedAtMilliseconds = strictInt(object, "fetchedAtMilliseconds"_L1);
    cache.userVipList = strictList<VIPExpireItem>(object, "userVipList"_L1);
    return cache;
}

QJsonObject VIPStatusCache::toJson() const
{
    return QJsonObject{{"serverCurrentTimeMilliseconds"_L1, serverCurrentTimeMilliseconds},
                       {"fetchedAtMilliseconds"_L1, fetchedAtMilliseconds},
                       {"userVipList"_L1, encodeList(userVipList)}};
}

qint64 VIPStatusCache::estimatedServerTimeMilliseconds() const
{
    constexpr qint64 maximum = std::numeric_limits<qint64>::max();
    const qint64 now = Clock::shared().nowMilliseconds();
    // Absurd times from the service must not overflow: the elapsed time and the
    // sum saturate at the 64-bit maximum.
    qint64 elapsed = 0;
    if (__builtin_sub_overflow(now, fetchedAtMilliseconds, &elapsed))
        elapsed = now > fetchedAtMilliseconds ? maximum : 0;
    if (elapsed < 0)
        elapsed = 0; // the local clock was set back since the fetch
    qint64 estimate = 0;
    if (__builtin_add_overflow(serverCurrentTimeMilliseconds, elapsed, &estimate))
        estimate = maximum;
    return estimate;
}

bool VIPStatusCache::containsValidMembership(const QString &examBankId) const
{
    const qint64 estimate = estimatedServerTimeMilliseconds();
    for (const VIPExpireItem &item : userVipList) {
        if (item.examBankId == examBankId && item.expireTimeMilliseconds > estimate)
            return true;
    }
    return false;
}
