#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The ink intensity slider: pointer to intensity (0.1 ... 1.0, unrounded),
// the thumb's place and the accessibility steps.
class InkIntensityMapping : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static constexpr double minimum = 0.1;
    static constexpr double maximum = 1.0;
    static constexpr double step = 0.05;

    explicit InkIntensityMapping(QObject *parent = nullptr);

    // max(1, width − thumbDiameter).
    Q_INVOKABLE static double travel(double width, double thumbDiameter);
    // travel × the intensity's progress from 0.1 to 1.0, clamped to 0 ... travel.
    Q_INVOKABLE static double thumbOffset(double intensity, double travel);
    Q_INVOKABLE static double intensityForPointer(double x, double travel, double thumbDiameter);
    Q_INVOKABLE static double incremented(double intensity);
    Q_INVOKABLE static double decremented(double intensity);
};
