#include "ScrollOffsetObserver.h"

#include <algorithm>
#include <cmath>

ScrollOffsetObserver::ScrollOffsetObserver(QObject *parent)
    : QObject(parent)
{
}

void ScrollOffsetObserver::setCache(ScrollOffsetCache *cache)
{
    if (m_cache == cache)
        return;
    m_cache = cache;
    Q_EMIT cacheChanged();
    attach();
}

void ScrollOffsetObserver::setKey(const QString &key)
{
    if (m_key == key)
        return;
    m_key = key;
    Q_EMIT keyChanged();
    attach();
}

void ScrollOffsetObserver::setViewportY(double y)
{
    if (m_viewportY == y)
        return;
    m_viewportY = y;
    Q_EMIT viewportYChanged();
    record();
}

void ScrollOffsetObserver::setViewportHeight(double height)
{
    if (m_viewportHeight == height)
        return;
    m_viewportHeight = height;
    Q_EMIT viewportHeightChanged();
    restoreIfPossible();
}

void ScrollOffsetObserver::setContentHeight(double height)
{
    if (m_contentHeight == height)
        return;
    m_contentHeight = height;
    Q_EMIT contentHeightChanged();
    restoreIfPossible();
}

void ScrollOffsetObserver::componentComplete()
{
    m_complete = true;
    attach();
}

void ScrollOffsetObserver::setPendingRestore(std::optional<double> value)
{
    const bool was = m_pendingRestore.has_value();
    m_pendingRestore = value;
    if (was != m_pendingRestore.has_value())
        Q_EMIT restoringChanged();
}

void ScrollOffsetObserver::attach()
{
    // Wait until QML has set every initial binding, so that a restore sees
    // the pane's real sizes and not their defaults.
    if (!m_complete)
        return;
    if (!m_cache || m_key.isEmpty()) {
        setPendingRestore(std::nullopt);
        return;
    }
    setPendingRestore(m_cache->value(m_key).value_or(0));
    restoreIfPossible();
}

void ScrollOffsetObserver::record()
{
    if (!m_complete || m_pendingRestore || m_scrolling || !m_cache || m_key.isEmpty())
        return;
    m_cache->setValue(m_key, m_viewportY);
}

void ScrollOffsetObserver::restoreIfPossible()
{
    if (!m_pendingRestore || !m_complete)
        return;
    const double saved = *m_pendingRestore;
    const double reach = m_contentHeight - m_viewportHeight;
    const double maxY = reach >= 0 ? reach : 0;
    const double target = std::min(saved >= 0 ? saved : 0.0, maxY);
    if (std::abs(m_viewportY - target) > 0.5) {
        m_scrolling = true;
        Q_EMIT scrollRequested(target);
        m_scrolling = false;
    }
    // NaN never completes by comparison; treat it like a negative value.
    if (!(saved <= maxY + 1) && !std::isnan(saved))
        return;
    setPendingRestore(std::nullopt);
}

void ScrollOffsetObserver::userScrolled()
{
    if (!m_pendingRestore)
        return;
    setPendingRestore(std::nullopt);
    record();
}
