#pragma once

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

// The geometry of the hue-and-saturation wheel. Hue 0 lies to the right of
// the centre and grows clockwise on screen (y pointing down); saturation
// grows from the centre outwards.
class ColorWheelGeometry : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    struct Selection
    {
        double hue = 0;
        double saturation = 0;
    };

    explicit ColorWheelGeometry(QObject *parent = nullptr);

    // max(1, min(width, height) / 2 − knobSize / 2): how far the knob's
    // centre may move from the wheel's centre.
    Q_INVOKABLE static double radius(double width, double height, double knobSize);
    // Offset of the knob's centre from the wheel's centre.
    Q_INVOKABLE static QPointF knobOffset(double hue, double saturation, double radius);
    // The hue and saturation picked by a pointer at (x, y). Outside the
    // circle the saturation stays 1 and the hue follows the direction.
    [[nodiscard]] static Selection selection(double x, double y, double centerX, double centerY, double radius);
    // The same for QML: { hue, saturation }.
    Q_INVOKABLE static QVariantMap selectionAt(double x, double y, double centerX, double centerY, double radius);
    // "色相 H 度，饱和度 S%".
    Q_INVOKABLE static QString accessibilityValue(double hue, double saturation);
    // The knob's colour: hue, saturation and brightness each clamped to 0 ... 1.
    Q_INVOKABLE static QColor knobColor(double hue, double saturation, double brightness);
    // The painted wheel's colour at (x, y) of a square of the given side:
    // full brightness, saturation from the distance to the centre relative to
    // half the side; transparent outside the circle.
    [[nodiscard]] static QColor wheelColorAt(double x, double y, double side);
};
