#pragma once

#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <QtQml/qqmlregistration.h>

// The hit shape of a rounded rectangle, for a MouseArea's containmentMask:
// a click in one of the cut-off corners belongs to whatever lies beneath.
// The corners are circular arcs; a radius above half the shorter side makes a
// capsule, and a negative or non-finite one a plain rectangle.
class RoundedRectShape : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(double width MEMBER m_width NOTIFY changed)
    Q_PROPERTY(double height MEMBER m_height NOTIFY changed)
    Q_PROPERTY(double radius MEMBER m_radius NOTIFY changed)

public:
    explicit RoundedRectShape(QObject *parent = nullptr);

    // The point in the masked item's coordinates.
    Q_INVOKABLE bool contains(const QPointF &point) const;
    [[nodiscard]] static bool contains(const QSizeF &size, double radius, const QPointF &point);

Q_SIGNALS:
    void changed();

private:
    double m_width = 0;
    double m_height = 0;
    double m_radius = 0;
};
