#include "WindowButton.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b), 1.0f);
}

} // namespace

WindowButton::WindowButton(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
    connect(this, &WindowButton::appearanceChanged, this, [this] { update(); });
}

void WindowButton::setKind(Kind kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    Q_EMIT appearanceChanged();
}

void WindowButton::setShowsSymbol(bool shows)
{
    if (m_showsSymbol == shows)
        return;
    m_showsSymbol = shows;
    Q_EMIT appearanceChanged();
}

void WindowButton::setPressed(bool pressed)
{
    if (m_pressed == pressed)
        return;
    m_pressed = pressed;
    Q_EMIT appearanceChanged();
}

void WindowButton::setMaximized(bool maximized)
{
    if (m_maximized == maximized)
        return;
    m_maximized = maximized;
    Q_EMIT appearanceChanged();
}

QPolygonF WindowButton::maximizeGlyph(bool maximized, int triangle)
{
    if (!maximized) {
        return triangle == 0 ? QPolygonF({{3, 11}, {7, 11}, {3, 7}}) : QPolygonF({{11, 3}, {7, 3}, {11, 7}});
    }
    return triangle == 0 ? QPolygonF({{6, 8}, {2.5, 8}, {6, 11.5}}) : QPolygonF({{8, 6}, {11.5, 6}, {8, 2.5}});
}

void WindowButton::paintMaximize(QPainter *painter) const
{
    const QRectF oval = QRectF(0, 0, 14, 14).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->setPen(Qt::NoPen);
    painter->setBrush(rgb(0.16, m_pressed ? 0.65 : 0.79, 0.25));
    painter->drawEllipse(oval);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(rgb(0.10, 0.62, 0.17), 0.5));
    painter->drawEllipse(oval);
    if (!m_showsSymbol && !m_pressed)
        return;
    QPainterPath glyph;
    for (int triangle = 0; triangle < 2; ++triangle) {
        glyph.addPolygon(maximizeGlyph(m_maximized, triangle));
        glyph.closeSubpath();
    }
    painter->fillPath(glyph, rgb(0.04, 0.34, 0.08));
}

void WindowButton::paint(QPainter *painter)
{
    painter->setRenderHint(QPainter::Antialiasing);
    // Everything is drawn in a 14 × 14 space, scaled to the item.
    painter->scale(width() / 14.0, height() / 14.0);
    if (m_kind == Maximize) {
        paintMaximize(painter);
        return;
    }
    const bool close = m_kind == Close;
    const QRectF oval = QRectF(0, 0, 14, 14).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor fill = close ? rgb(1.0, 0.37, 0.34) : rgb(1.0, 0.74, 0.18);
    const QColor edge = close ? rgb(0.88, 0.27, 0.25) : rgb(0.87, 0.62, 0.14);
    const QColor mark = close ? rgb(0.45, 0.04, 0.03) : rgb(0.55, 0.33, 0.02);
    painter->setPen(QPen(edge, 0.5));
    painter->setBrush(m_pressed ? fill.darker(115) : fill);
    painter->drawEllipse(oval);
    if (!m_showsSymbol && !m_pressed)
        return;
    QPen pen(mark, 1.3);
    pen.setCapStyle(Qt::RoundCap);
    painter->setPen(pen);
    if (close) {
        painter->drawLine(QPointF(4.6, 4.6), QPointF(9.4, 9.4));
        painter->drawLine(QPointF(9.4, 4.6), QPointF(4.6, 9.4));
    } else {
        painter->drawLine(QPointF(3.8, 7), QPointF(10.2, 7));
    }
}
