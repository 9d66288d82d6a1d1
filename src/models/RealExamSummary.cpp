#include "RealExamSummary.h"

#include "models/LenientJson.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

RealExamSummary RealExamSummary::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    RealExamSummary summary;
    summary.id = flexibleString(object, "id"_L1);
    summary.name = flexibleString(object, "name"_L1);
    summary.needVip = flexibleInt(object, "needVip"_L1, 0);
    return summary;
}

QJsonObject RealExamSummary::toJson() const
{
    return QJsonObject{{"id"_L1, id}, {"name"_L1, name}, {"needVip"_L1, needVip}};
}

size_t qHash(const RealExamSummary &summary, size_t seed)
{
    return qHashMulti(seed, summary.id, summary.name, summary.needVip);
}
