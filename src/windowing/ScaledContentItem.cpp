#include "ScaledContentItem.h"

#include <cmath>

ScaledContentItem::ScaledContentItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setClip(true);
}

void ScaledContentItem::setContent(QQuickItem *item)
{
    if (m_content == item)
        return;
    if (m_content)
        m_content->setParentItem(nullptr);
    m_content = item;
    if (m_content) {
        m_content->setParentItem(this);
        m_content->setTransformOrigin(QQuickItem::TopLeft);
        m_content->setPosition({0, 0});
    }
    relayout();
}

void ScaledContentItem::setContentScale(double scale)
{
    // NaN never equals itself, so it always counts as a change.
    if (scale == m_scale)
        return;
    m_scale = scale;
    relayout();
    Q_EMIT contentScaleChanged();
}

double ScaledContentItem::layoutScale() const
{
    // A zoom that would make the virtual size infinite or negative lays out
    // unscaled instead.
    return std::isfinite(m_scale) && m_scale > 0 ? m_scale : 1.0;
}

QSizeF ScaledContentItem::virtualSize() const
{
    const double s = layoutScale();
    return {width() / s, height() / s};
}

void ScaledContentItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        relayout();
}

void ScaledContentItem::relayout()
{
    if (!m_content)
        return;
    m_content->setSize(virtualSize());
    m_content->setScale(layoutScale());
}
