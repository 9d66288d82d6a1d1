#pragma once

#include "KeyCaptureHandler.h"

#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class QQuickWindow;

// An invisible item that hands key presses of its own window to a capture
// handler while that handler captures. It filters the application's events,
// so it runs before the panel window's own key routing (zoom and answer
// keys), and it looks only at presses whose target is the window itself:
// Qt sends each press on to the focused item, which must not count twice.
// While capturing it also claims ShortcutOverride, so no shortcut of the
// window fires, and it never takes the focus, so no input method engages.
class KeyCaptureItem : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(KeyCaptureHandler *handler READ handler WRITE setHandler NOTIFY handlerChanged)

public:
    explicit KeyCaptureItem(QQuickItem *parent = nullptr);
    ~KeyCaptureItem() override;

    [[nodiscard]] KeyCaptureHandler *handler() const { return m_handler; }
    void setHandler(KeyCaptureHandler *handler);

Q_SIGNALS:
    void handlerChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;

private:
    void watchWindow(QQuickWindow *window);

    QPointer<KeyCaptureHandler> m_handler;
    QPointer<QQuickWindow> m_window;
};
