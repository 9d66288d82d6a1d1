#include "KeyCaptureItem.h"

#include "platform/gui/KeyEventAdapter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QQuickWindow>

KeyCaptureItem::KeyCaptureItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, false);
    setAcceptedMouseButtons(Qt::NoButton);
    QCoreApplication::instance()->installEventFilter(this);
}

KeyCaptureItem::~KeyCaptureItem()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void KeyCaptureItem::setHandler(KeyCaptureHandler *handler)
{
    // An item made with its parent already on a window never hears of the
    // scene change (it happens in the base class's constructor).
    watchWindow(window());
    if (m_handler == handler)
        return;
    m_handler = handler;
    Q_EMIT handlerChanged();
}

void KeyCaptureItem::itemChange(ItemChange change, const ItemChangeData &value)
{
    if (change == ItemSceneChange)
        watchWindow(value.window);
    QQuickItem::itemChange(change, value);
}

void KeyCaptureItem::watchWindow(QQuickWindow *window)
{
    m_window = window;
}

bool KeyCaptureItem::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
        return false;
    // A card on its way out is disabled: its capture takes no more keys.
    if (!m_handler || !m_handler->isCapturing() || !isVisible() || !isEnabled())
        return false;
    if (m_window != window())
        watchWindow(window());
    if (!m_window)
        return false;

    if (type == QEvent::ShortcutOverride) {
        // Sent to the focus object, an item of this window or the window.
        auto *item = qobject_cast<QQuickItem *>(watched);
        if (watched != m_window && !(item && item->window() == m_window))
            return false;
        event->accept();
        return true;
    }
    if (watched != m_window)
        return false;
    if (type == QEvent::KeyPress)
        m_handler->handleCapturedKey(keyEventInfo(*static_cast<QKeyEvent *>(event)));
    return true;
}
