#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

// Tells a horizontal swipe between questions from a vertical scroll: a drag
// of at least minimumDistance that ends mostly sideways moves by one question,
// a drag to the left to the next one.
class SwipeClassifier : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(double minimumDistance READ minimumDistance CONSTANT)

public:
    static constexpr double minimumDistanceValue = 60;
    static constexpr double dominance = 1.4;

    explicit SwipeClassifier(QObject *parent = nullptr);

    [[nodiscard]] static double minimumDistance() { return minimumDistanceValue; }
    // Whether a drag with this translation has gone far enough to count.
    Q_INVOKABLE [[nodiscard]] static bool isSwipe(double dx, double dy);
    // +1, −1, or 0 for a drag that is not a horizontal swipe.
    Q_INVOKABLE [[nodiscard]] static int moveFor(double dx, double dy);
};
