#include "MaterialPanelRatios.h"

#include "MaterialSplitGeometry.h"

MaterialPanelRatios::MaterialPanelRatios(QObject *parent)
    : QObject(parent)
{
}

double MaterialPanelRatios::ratio(const QString &questionId) const
{
    return m_ratios.value(questionId, MaterialSplitGeometry::defaultRatio);
}

void MaterialPanelRatios::setRatio(const QString &questionId, double ratio)
{
    m_ratios.insert(questionId, ratio);
    Q_EMIT ratioChanged(questionId);
}
