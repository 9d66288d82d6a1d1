#include "AnalysisRules.h"

#include <algorithm>
#include <cmath>

namespace AnalysisRules {

std::optional<Material> materialFor(const Question &question, const QList<Material> &materials)
{
    if (!question.materialsId)
        return std::nullopt;
    const QString wanted = question.materialsId->trimmed();
    if (wanted.isEmpty() || wanted == QLatin1String("0") || wanted.toLower() == QLatin1String("null"))
        return std::nullopt;
    for (const Material &material : materials) {
        if (material.id.trimmed() == wanted)
            return material;
    }
    return std::nullopt;
}

QString optionLetter(qsizetype index)
{
    const qint64 code = 65 + qint64(index);
    const bool scalar = index >= 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (!scalar)
        return QString::number(qint64(index) + 1);
    const char32_t character = char32_t(code);
    return QString::fromUcs4(&character, 1);
}

Split materialSplit(double areaHeight, std::optional<double> ratio)
{
    Split split;
    split.height = std::max(1.0, std::isfinite(areaHeight) ? areaHeight : 1.0);
    split.maxTop = std::max(0.0, split.height - 72);
    double share = ratio.value_or(defaultMaterialRatio);
    if (!std::isfinite(share))
        share = defaultMaterialRatio;
    split.top = std::min(split.maxTop, std::max(0.0, share * split.height));
    return split;
}

double draggedRatio(const Split &split, double start, double translation)
{
    const double moved = std::isfinite(translation) ? start + translation : start;
    const double top = std::min(split.maxTop, std::max(0.0, moved));
    return top / split.height;
}

} // namespace AnalysisRules
