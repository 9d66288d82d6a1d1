#include "Material.h"

#include "models/LenientJson.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

Material Material::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    Material material;
    material.id = flexibleString(object, "id"_L1);
    material.title = flexibleString(object, "title"_L1);
    material.context = flexibleString(object, "context"_L1);
    return material;
}

QJsonObject Material::toJson() const
{
    return QJsonObject{{"id"_L1, id}, {"title"_L1, title}, {"context"_L1, context}};
}

size_t qHash(const Material &material, size_t seed)
{
    return qHashMulti(seed, material.id, material.title, material.context);
}
