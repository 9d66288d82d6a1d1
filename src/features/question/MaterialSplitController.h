#pragma once

#include "MaterialPanelRatios.h"
#include "MaterialSplitGeometry.h"

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The split of the material view for its current question: the material
// pane's height from the question's stored ratio, and the handle drag that
// rewrites that ratio while it runs.
class MaterialSplitController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(MaterialPanelRatios *ratios READ ratios WRITE setRatios NOTIFY ratiosChanged)
    Q_PROPERTY(QString questionId READ questionId WRITE setQuestionId NOTIFY questionIdChanged)
    Q_PROPERTY(double availableHeight READ availableHeight WRITE setAvailableHeight NOTIFY availableHeightChanged)
    Q_PROPERTY(double top READ top NOTIFY splitChanged)
    Q_PROPERTY(double cardHeight READ cardHeight NOTIFY splitChanged)
    Q_PROPERTY(double height READ height NOTIFY splitChanged)
    Q_PROPERTY(bool dragging READ dragging NOTIFY splitChanged)

public:
    explicit MaterialSplitController(QObject *parent = nullptr);

    [[nodiscard]] MaterialPanelRatios *ratios() const { return m_ratios; }
    void setRatios(MaterialPanelRatios *ratios);
    [[nodiscard]] QString questionId() const { return m_questionId; }
    void setQuestionId(const QString &questionId);
    [[nodiscard]] double availableHeight() const { return m_availableHeight; }
    void setAvailableHeight(double height);

    [[nodiscard]] MaterialSplitGeometry::Split split() const;
    [[nodiscard]] double top() const { return split().top; }
    [[nodiscard]] double cardHeight() const;
    [[nodiscard]] double height() const { return split().height; }
    [[nodiscard]] bool dragging() const { return m_dragStartTop.has_value(); }

    // The handle moved by translationY since its drag began.
    Q_INVOKABLE void dragChanged(double translationY);
    Q_INVOKABLE void dragEnded(double translationY);

    // The pointer on the handle, in scene coordinates (the handle moves with
    // the split, the scene does not). Each press starts a new measure: the
    // translation is taken from that press, and the drag begins once the
    // pointer is far enough from it in any direction.
    Q_INVOKABLE void pointerPressed(double sceneX, double sceneY);
    Q_INVOKABLE void pointerMoved(double sceneX, double sceneY);
    Q_INVOKABLE void pointerReleased(double sceneX, double sceneY);
    // The pointer was taken away: the split stays where it was last put.
    Q_INVOKABLE void pointerCanceled();

Q_SIGNALS:
    void ratiosChanged();
    void questionIdChanged();
    void availableHeightChanged();
    void splitChanged();

private:
    void storeDrag(double translationY);

    QPointer<MaterialPanelRatios> m_ratios;
    QString m_questionId;
    double m_availableHeight = 0;
    std::optional<double> m_dragStartTop;
    std::optional<QPointF> m_pointerPress;
    bool m_pointerDragging = false;
    double m_pointerTranslationY = 0;
};
