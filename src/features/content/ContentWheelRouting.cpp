#include "ContentWheelRouting.h"

#include <QWheelEvent>

#include <cmath>

ContentWheelRouting::ContentWheelRouting(QObject *parent)
    : QObject(parent)
{
}

ContentWheelRouting::~ContentWheelRouting()
{
    unwatchAll();
}

void ContentWheelRouting::setView(QQuickItem *view)
{
    if (m_view == view)
        return;
    unwatchAll();
    m_view = view;
    if (m_view)
        watch(m_view);
    Q_EMIT viewChanged();
}

void ContentWheelRouting::setScrollsInside(bool value)
{
    if (m_scrollsInside == value)
        return;
    m_scrollsInside = value;
    Q_EMIT scrollsInsideChanged();
}

void ContentWheelRouting::watch(QQuickItem *item)
{
    if (!m_watched.contains(item)) {
        m_watched.insert(item);
        item->installEventFilter(this);
        connect(item, &QQuickItem::childrenChanged, this, [this, item] {
            for (QQuickItem *child : item->childItems())
                watch(child);
        });
        connect(item, &QObject::destroyed, this, [this, item] { m_watched.remove(item); });
    }
    for (QQuickItem *child : item->childItems())
        watch(child);
}

void ContentWheelRouting::unwatchAll()
{
    for (QQuickItem *item : std::as_const(m_watched)) {
        item->removeEventFilter(this);
        disconnect(item, nullptr, this, nullptr);
    }
    m_watched.clear();
}

bool ContentWheelRouting::scrollerCanMove(const QQuickItem *item, double deltaY)
{
    const QQuickItem *scroller = item ? item->parentItem() : nullptr;
    while (scroller && !scroller->inherits("QQuickFlickable"))
        scroller = scroller->parentItem();
    if (!scroller || !(std::abs(deltaY) > 0))
        return false;
    const auto value = [scroller](const char *name) { return scroller->property(name).toDouble(); };
    const double y = value("contentY");
    const double top = value("originY") - value("topMargin");
    const double bottom = value("originY") + value("contentHeight") + value("bottomMargin") - scroller->height();
    constexpr double slack = 0.5;
    return deltaY > 0 ? y > top + slack : y < bottom - slack;
}

bool ContentWheelRouting::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    auto *wheel = static_cast<QWheelEvent *>(event);
    const QPointF delta = !wheel->pixelDelta().isNull() ? QPointF(wheel->pixelDelta()) : QPointF(wheel->angleDelta());
    const bool vertical = std::abs(delta.y()) > std::abs(delta.x());
    if (m_scrollsInside && vertical && !scrollerCanMove(m_view, delta.y()))
        return false; // the page takes it
    // Not for the view: the items beneath get the same event.
    event->ignore();
    return true;
}
