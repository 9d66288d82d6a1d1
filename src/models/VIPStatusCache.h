#pragma once

#include "models/VIPExpireItem.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

// The last membership status fetched, stamped with the local fetch time.
// Persisted as JSON ("vip_expire_list_model"); decoding is strict.
struct VIPStatusCache
{
    qint64 serverCurrentTimeMilliseconds = 0;
    qint64 fetchedAtMilliseconds = 0;
    QList<VIPExpireItem> userVipList;

    [[nodiscard]] static VIPStatusCache fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    // Service time at the fetch plus the local time elapsed since (never
    // negative elapsed); saturates instead of overflowing. Reads Clock::shared().
    [[nodiscard]] qint64 estimatedServerTimeMilliseconds() const;
    // An item of this bank expiring strictly after the estimate.
    [[nodiscard]] bool containsValidMembership(const QString &examBankId) const;
};
