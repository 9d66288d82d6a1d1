#include "RoundedRectShape.h"

#include <algorithm>
#include <cmath>

RoundedRectShape::RoundedRectShape(QObject *parent)
    : QObject(parent)
{
}

bool RoundedRectShape::contains(const QPointF &point) const
{
    return contains(QSizeF(m_width, m_height), m_radius, point);
}

bool RoundedRectShape::contains(const QSizeF &size, double radius, const QPointF &point)
{
    const double w = size.width();
    const double h = size.height();
    if (!(w > 0) || !(h > 0) || !(point.x() >= 0 && point.x() <= w && point.y() >= 0 && point.y() <= h))
        return false;
    const double r = std::isfinite(radius) ? std::clamp(radius, 0.0, std::min(w, h) / 2) : 0.0;
    // Outside the corner squares the rectangle decides alone.
    const double cx = std::clamp(point.x(), r, w - r);
    const double cy = std::clamp(point.y(), r, h - r);
    const double dx = point.x() - cx;
    const double dy = point.y() - cy;
    return dx * dx + dy * dy <= r * r;
}
