#include "TransparentAppearanceScale.h"

#include <QCoreApplication>
#include <QThread>

TransparentAppearanceScale &TransparentAppearanceScale::shared()
{
    static TransparentAppearanceScale *scale = new TransparentAppearanceScale; // lives for the process
    return *scale;
}

double TransparentAppearanceScale::currentValue()
{
    return shared().m_value;
}

void TransparentAppearanceScale::setCurrentValue(double value)
{
    Q_ASSERT(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
    auto &s = shared();
    // Compared bitwise-equal only; NaN never equals itself, so it is always announced.
    if (s.m_value == value)
        return;
    s.m_value = value;
    Q_EMIT s.currentValueChanged();
}
