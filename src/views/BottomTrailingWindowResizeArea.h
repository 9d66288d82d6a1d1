#pragma once

#include <QPointF>
#include <QQuickItem>
#include <QRect>
#include <QSize>
#include <QtQml/qqmlregistration.h>
#include <optional>

// The grip in the bottom-right corner that resizes the window while its
// top-left corner stays where it is. Every drag that began in a window emits
// began() once and ended() once.
class BottomTrailingWindowResizeArea : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(bool dragging READ dragging NOTIFY draggingChanged)

public:
    explicit BottomTrailingWindowResizeArea(QQuickItem *parent = nullptr);

    [[nodiscard]] bool dragging() const { return m_initialFrame.has_value(); }

    // The frame for a pointer at `pointer` when the drag began at `start` with
    // the window at `initial`: the top-left corner fixed, the size never
    // below `minimum`, no upper bound. Global coordinates, y pointing down.
    [[nodiscard]] static QRect resizedFrame(const QRect &initial, const QPointF &start, const QPointF &pointer,
                                            const QSize &minimum);

Q_SIGNALS:
    void began();
    void ended();
    void draggingChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseUngrabEvent() override;

private:
    void finish();

    std::optional<QRect> m_initialFrame;
    std::optional<QPointF> m_initialPointer;
};
