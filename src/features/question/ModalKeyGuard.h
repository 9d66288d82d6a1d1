#pragma once

#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

// While active, key presses of the window go only to the focused item (the
// modal's own controls) and never reach the window's answering keys, so
// nothing is answered or moved behind a shown confirmation.
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

Q_SIGNALS:
    void activeChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;

private:
    void follow(QQuickWindow *window);

    bool m_active = false;
    QPointer<QQuickWindow> m_window;
};
