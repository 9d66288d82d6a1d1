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

int swipeStep(double dx, double dy)
{
    if (!std::isfinite(dx) || !std::isfinite(dy) || std::hypot(dx, dy) < swipeMinimumDistance)
        return 0;
    if (!(std::abs(dx) > 1.4 * std::abs(dy)))
        return 0;
    return dx < 0 ? 1 : -1;
}


int WheelSwipeTracker::feed(double dx, double dy, qint64 timestampMilliseconds)
{
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return 0;
    if (!m_started || timestampMilliseconds - m_last > gestureGapMilliseconds || timestampMilliseconds < m_last) {
        m_dx = 0;
        m_dy = 0;
        m_fired = false;
        m_started = true;
    }
    m_last = timestampMilliseconds;
    m_dx += dx;
    m_dy += dy;
    if (m_fired)
        return 0;
    const int step = AnalysisRules::swipeStep(m_dx, m_dy);
    m_fired = step != 0;
    return step;
}

} // namespace AnalysisRules
