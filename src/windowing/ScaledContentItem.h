#pragma once

#include <QPointer>
#include <QQuickItem>

// Hosts the panel's root view zoomed as a whole: the content is laid out in
// the item's size divided by the zoom and drawn scaled by the zoom from the
// top-left corner, so it always fills the item exactly.
class ScaledContentItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(double contentScale READ contentScale WRITE setContentScale NOTIFY contentScaleChanged)

public:
    explicit ScaledContentItem(QQuickItem *parent = nullptr);

    // Takes item as the hosted content (reparented to this item).
    void setContent(QQuickItem *item);
    [[nodiscard]] QQuickItem *content() const { return m_content; }

    [[nodiscard]] double contentScale() const { return m_scale; }
    // A value equal to the current one changes nothing; a new one relays the
    // content out. Zooms arrive already normalised.
    void setContentScale(double scale);
    // The size the content is laid out in.
    [[nodiscard]] QSizeF virtualSize() const;

Q_SIGNALS:
    void contentScaleChanged();

protected:
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    [[nodiscard]] double layoutScale() const;
    void relayout();

    QPointer<QQuickItem> m_content;
    double m_scale = 1.0;
};
