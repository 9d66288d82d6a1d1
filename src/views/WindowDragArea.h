#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class QWindow;

// An invisible strip that moves the window on a single press and drag. The
// widths at either end belong to controls below it: presses there pass
// through. Double clicks do nothing; neither does a press while the window
// is not movable (as while maximized).
//
// With a `panel` (the window shell's requests object) the shell moves the
// window: beginWindowDrag/dragWindow/endWindowDrag with global positions, and
// its `movable` decides. Without one the window system moves it.
class WindowDragArea : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(double leadingControlWidth READ leadingControlWidth WRITE setLeadingControlWidth NOTIFY changed)
    Q_PROPERTY(double trailingControlWidth READ trailingControlWidth WRITE setTrailingControlWidth NOTIFY changed)
    Q_PROPERTY(bool movable READ movable WRITE setMovable NOTIFY changed)
    Q_PROPERTY(QObject *panel READ panel WRITE setPanel NOTIFY changed)

public:
    explicit WindowDragArea(QQuickItem *parent = nullptr);

    [[nodiscard]] double leadingControlWidth() const { return m_leading; }
    void setLeadingControlWidth(double width);
    [[nodiscard]] double trailingControlWidth() const { return m_trailing; }
    void setTrailingControlWidth(double width);
    [[nodiscard]] bool movable() const { return m_movable; }
    void setMovable(bool movable);
    [[nodiscard]] QObject *panel() const { return m_panel; }
    void setPanel(QObject *panel);

    // Inside the bounds and leading ≤ x ≤ width − trailing, both ends included.
    [[nodiscard]] bool contains(const QPointF &point) const override;

Q_SIGNALS:
    void changed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseUngrabEvent() override;

private:
    void endPanelDrag();

    QPointer<QObject> m_panel;
    bool m_panelDrag = false;
    double m_leading = 0;
    double m_trailing = 0;
    bool m_movable = true;
    // Where a move that the window system does not run itself started.
    bool m_manualMove = false;
    QPointF m_pressGlobal;
    QPoint m_windowStart;
    ulong m_lastPressTime = 0;
    bool m_hasLastPress = false;
};
