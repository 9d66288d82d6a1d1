#pragma once

#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

// Rounds the corners of everything drawn before it within its rectangle: it
// erases, antialiased, what lies outside the arcs of `radius` in the four
// corners, and leaves the rest untouched. Four small quads with a shader
// compiled at build time, instead of drawing the whole content into a layer
// and masking it. The software scene graph draws nothing here.
class RoundedCornerCutout : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)

public:
    explicit RoundedCornerCutout(QQuickItem *parent = nullptr);

    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);

Q_SIGNALS:
    void radiusChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *data) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    qreal m_radius = 0;
};
