#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The header's brightness slider: the mapping between the pointer and the
// appearance level, the thumb's place, and the colours of the slider and of
// its control row in both looks.
class AppearanceSliderState : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent NOTIFY changed)
    Q_PROPERTY(bool hovering READ hovering WRITE setHovering NOTIFY changed)

    Q_PROPERTY(QColor trackColor READ trackColor NOTIFY changed)
    Q_PROPERTY(QColor activeTrackColor READ activeTrackColor NOTIFY changed)
    Q_PROPERTY(QColor thumbColor READ thumbColor NOTIFY changed)
    Q_PROPERTY(QColor thumbBorderColor READ thumbBorderColor NOTIFY changed)
    Q_PROPERTY(QColor thumbShadowColor READ thumbShadowColor NOTIFY changed)
    // The caption, sun symbols, percentage and help symbol of the row.
    Q_PROPERTY(QColor rowColor READ rowColor NOTIFY changed)

public:
    static constexpr double minimumLevel = 0.35;
    static constexpr double maximumLevel = 1.65;
    static constexpr double span = maximumLevel - minimumLevel;
    static constexpr double step = 0.05;

    explicit AppearanceSliderState(QObject *parent = nullptr);

    [[nodiscard]] bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    [[nodiscard]] bool hovering() const { return m_hovering; }
    void setHovering(bool hovering);

    // max(1, width − thumbDiameter): a zero or negative width never divides by zero.
    Q_INVOKABLE static double travel(double width, double thumbDiameter);
    // Distance of the thumb's left edge from the left end, within 0 ... travel.
    Q_INVOKABLE static double thumbOffset(double value, double travel);
    // The level for a pointer at x: on the 0.05 grid, within 0.35 ... 1.65.
    Q_INVOKABLE static double valueForPointer(double x, double travel, double thumbDiameter);
    // Accessibility steps; they do not snap to the grid.
    Q_INVOKABLE static double incremented(double value);
    Q_INVOKABLE static double decremented(double value);

    [[nodiscard]] QColor trackColor() const;
    [[nodiscard]] QColor activeTrackColor() const;
    [[nodiscard]] QColor thumbColor() const;
    [[nodiscard]] QColor thumbBorderColor() const;
    [[nodiscard]] QColor thumbShadowColor() const;
    [[nodiscard]] QColor rowColor() const;

Q_SIGNALS:
    void changed();

private:
    bool m_transparent = false;
    bool m_hovering = false;
};
