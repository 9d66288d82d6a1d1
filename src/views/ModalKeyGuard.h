#pragma once

#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class QQuickWindow;

// Marks its window's keys as the scene's while it is active and shown. Every
// modal card holds one (AppModal does), so the window's own key routing asks
// keysBelongToScene() and leaves the keys to the focused item: nothing is
// answered or paged behind a card, whichever card it is.
class ModalKeyGuard : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY activeChanged)

public:
    explicit ModalKeyGuard(QQuickItem *parent = nullptr);
    ~ModalKeyGuard() override;

    [[nodiscard]] bool isActive() const { return m_active; }
    void setActive(bool active);

    // True while a card is up in the window (an active guard in it that is
    // shown) or its focused item takes typed text: keys are then for the
    // focused item, not for what the window itself does with them.
    [[nodiscard]] static bool keysBelongToScene(QQuickWindow *window);

Q_SIGNALS:
    void activeChanged();

private:
    bool m_active = false;
};
