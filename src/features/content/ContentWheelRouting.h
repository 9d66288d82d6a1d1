#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QSet>
#include <QtQml/qqmlregistration.h>

// Keeps the wheel away from a content web view: a wheel event over it goes
// on, unchanged, to the items beneath (the screen's scroller, then whatever
// pages sideways), as if the view were not there. The one exception is a
// page taller than its view: once the scroller cannot move further that
// way, the page scrolls inside itself.
class ContentWheelRouting : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QQuickItem *view READ view WRITE setView NOTIFY viewChanged)
    Q_PROPERTY(bool scrollsInside READ scrollsInside WRITE setScrollsInside NOTIFY scrollsInsideChanged)

public:
    explicit ContentWheelRouting(QObject *parent = nullptr);
    ~ContentWheelRouting() override;

    [[nodiscard]] QQuickItem *view() const { return m_view; }
    void setView(QQuickItem *view);
    [[nodiscard]] bool scrollsInside() const { return m_scrollsInside; }
    void setScrollsInside(bool value);

    // Whether the nearest scroller above item can still move for a wheel
    // turn of angle or pixel delta (y positive: towards the top).
    [[nodiscard]] static bool scrollerCanMove(const QQuickItem *item, double deltaY);

Q_SIGNALS:
    void viewChanged();
    void scrollsInsideChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The engine makes its input item when a page first shows: watch the
    // whole subtree as it grows.
    void watch(QQuickItem *item);
    void unwatchAll();

    QPointer<QQuickItem> m_view;
    QSet<QQuickItem *> m_watched;
    bool m_scrollsInside = false;
};
