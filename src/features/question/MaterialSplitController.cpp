#include "MaterialSplitController.h"

MaterialSplitController::MaterialSplitController(QObject *parent)
    : QObject(parent)
{
}

void MaterialSplitController::setRatios(MaterialPanelRatios *ratios)
{
    if (m_ratios == ratios)
        return;
    if (m_ratios)
        disconnect(m_ratios, nullptr, this, nullptr);
    m_ratios = ratios;
    if (m_ratios) {
        connect(m_ratios, &MaterialPanelRatios::ratioChanged, this, [this](const QString &id) {
            if (id == m_questionId)
                Q_EMIT splitChanged();
        });
    }
    Q_EMIT ratiosChanged();
    Q_EMIT splitChanged();
}

void MaterialSplitController::setQuestionId(const QString &questionId)
{
    if (m_questionId == questionId)
        return;
    m_questionId = questionId;
    // A drag that began on another question must not write into this one.
    m_dragStartTop.reset();
    Q_EMIT questionIdChanged();
    Q_EMIT splitChanged();
}

void MaterialSplitController::setAvailableHeight(double height)
{
    if (m_availableHeight == height)
        return;
    m_availableHeight = height;
    Q_EMIT availableHeightChanged();
    Q_EMIT splitChanged();
}

MaterialSplitGeometry::Split MaterialSplitController::split() const
{
    const double ratio = m_ratios ? m_ratios->ratio(m_questionId) : MaterialSplitGeometry::defaultRatio;
    return MaterialSplitGeometry::layout(m_availableHeight, ratio);
}

double MaterialSplitController::cardHeight() const
{
    const auto s = split();
    return s.height - s.top;
}

void MaterialSplitController::storeDrag(double translationY)
{
    const auto s = split();
    if (!m_dragStartTop)
        m_dragStartTop = s.top;
    if (m_ratios)
        m_ratios->setRatio(m_questionId, MaterialSplitGeometry::ratioForDrag(s, *m_dragStartTop, translationY));
}

void MaterialSplitController::dragChanged(double translationY)
{
    const bool started = !m_dragStartTop;
    storeDrag(translationY);
    if (started)
        Q_EMIT splitChanged();
}

void MaterialSplitController::dragEnded(double translationY)
{
    storeDrag(translationY);
    m_dragStartTop.reset();
    Q_EMIT splitChanged();
}

void MaterialSplitController::pointerPressed(double sceneX, double sceneY)
{
    m_pointerPress = QPointF(sceneX, sceneY);
    m_pointerDragging = false;
    m_pointerTranslationY = 0;
}

void MaterialSplitController::pointerMoved(double sceneX, double sceneY)
{
    if (!m_pointerPress)
        return;
    const double dx = sceneX - m_pointerPress->x();
    const double dy = sceneY - m_pointerPress->y();
    if (!m_pointerDragging && !MaterialSplitGeometry::handleDragStarts(dx, dy))
        return;
    m_pointerDragging = true;
    m_pointerTranslationY = dy;
    dragChanged(dy);
}

void MaterialSplitController::pointerReleased(double sceneX, double sceneY)
{
    pointerMoved(sceneX, sceneY);
    const bool dragged = m_pointerDragging;
    m_pointerPress.reset();
    m_pointerDragging = false;
    if (dragged)
        dragEnded(m_pointerTranslationY);
}

void MaterialSplitController::pointerCanceled()
{
    const bool dragged = m_pointerDragging;
    m_pointerPress.reset();
    m_pointerDragging = false;
    if (dragged)
        dragEnded(m_pointerTranslationY);
}
