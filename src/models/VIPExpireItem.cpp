#include "VIPExpireItem.h"

#include "models/LenientJson.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

VIPExpireItem VIPExpireItem::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    VIPExpireItem item;
    item.examBankId = flexibleString(object, "examBankId"_L1);
    item.expireTimeMilliseconds = flexibleInt64(object, "expireTime"_L1, 0);
    return item;
}

QJsonObject VIPExpireItem::toJson() const
{
    return QJsonObject{{"examBankId"_L1, examBankId},
                       {"expireTime"_L1, LenientJson::integerText(expireTimeMilliseconds)}};
}

size_t qHash(const VIPExpireItem &item, size_t seed)
{
    return qHashMulti(seed, item.examBankId, item.expireTimeMilliseconds);
}
