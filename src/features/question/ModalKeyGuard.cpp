#include "ModalKeyGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QQuickWindow>

ModalKeyGuard::ModalKeyGuard(QQuickItem *parent)
    : QQuickItem(parent)
{
}

ModalKeyGuard::~ModalKeyGuard()
{
    follow(nullptr);
}

void ModalKeyGuard::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    follow(active ? window() : nullptr);
    Q_EMIT activeChanged();
}

void ModalKeyGuard::itemChange(ItemChange change, const ItemChangeData &value)
{
    if (change == ItemSceneChange)
        follow(m_active ? value.window : nullptr);
    QQuickItem::itemChange(change, value);
}

void ModalKeyGuard::follow(QQuickWindow *window)
{
    if (m_window == window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
}

bool ModalKeyGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_active || watched != m_window)
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (type == QEvent::ShortcutOverride)
        return true;
    // Hand the key to the focused item and its ancestors, as the window
    // would, but without the window's own key routing.
    for (QQuickItem *item = m_window->activeFocusItem(); item; item = item->parentItem()) {
        event->setAccepted(false);
        QCoreApplication::sendEvent(item, event);
        if (event->isAccepted())
            break;
    }
    return true;
}
