#include "MaterialLookup.h"

namespace MaterialLookup {

std::optional<QString> materialKey(const std::optional<QString> &materialsId)
{
    if (!materialsId)
        return std::nullopt;
    const QString trimmed = materialsId->trimmed();
    if (trimmed.isEmpty() || trimmed == QLatin1String("0")
        || trimmed.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    return trimmed;
}

std::optional<Material> materialFor(const Question &question, const QList<Material> &materials)
{
    if (question.sectionIntro)
        return std::nullopt;
    const std::optional<QString> key = materialKey(question.materialsId);
    if (!key)
        return std::nullopt;
    for (const Material &material : materials) {
        if (material.id.trimmed() == *key)
            return material;
    }
    return std::nullopt;
}

} // namespace MaterialLookup
