#pragma once

#include "models/VIPExpireItem.h"

#include <QJsonValue>
#include <QList>

// Data of the "/user/getUserVipExpireTimeList" reply. Fully lenient.
struct VIPStatusResponse
{
    qint64 currentTimeMilliseconds = 0; // the service's clock; default: local now at decode
    QList<VIPExpireItem> userVipList;

    [[nodiscard]] static VIPStatusResponse fromJson(const QJsonValue &value);
};
