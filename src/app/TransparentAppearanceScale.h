#pragma once

#include <QObject>

// The brightness level of the transparent look, process-wide: read by the views
// while drawing, written only by the application model on the GUI thread.
class TransparentAppearanceScale : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double currentValue READ currentValue NOTIFY currentValueChanged)

public:
    static TransparentAppearanceScale &shared();

    [[nodiscard]] static double currentValue();
    static void setCurrentValue(double value);

Q_SIGNALS:
    void currentValueChanged();

private:
    TransparentAppearanceScale() = default;
    double m_value = 1.0;
};
