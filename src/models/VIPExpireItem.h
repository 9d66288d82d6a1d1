#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// One bank's membership expiry.
struct VIPExpireItem
{
    QString examBankId;
    qint64 expireTimeMilliseconds = 0; // "expireTime", ms since 1970 UTC

    [[nodiscard]] static VIPExpireItem fromJson(const QJsonValue &value);
    // "expireTime" is written as a decimal string, not a number.
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const VIPExpireItem &) const = default;
};

size_t qHash(const VIPExpireItem &item, size_t seed = 0);
