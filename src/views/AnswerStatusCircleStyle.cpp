#include "AnswerStatusCircleStyle.h"

#include "Theme.h"

AnswerStatusCircleStyle::AnswerStatusCircleStyle(QObject *parent)
    : QObject(parent)
{
    connect(&Theme::shared(), &Theme::changed, this, &AnswerStatusCircleStyle::changed);
}

void AnswerStatusCircleStyle::setStatus(AnswerStatus status)
{
    if (m_status == status)
        return;
    m_status = status;
    Q_EMIT changed();
}

void AnswerStatusCircleStyle::setIsCurrent(bool current)
{
    if (m_isCurrent == current)
        return;
    m_isCurrent = current;
    Q_EMIT changed();
}

void AnswerStatusCircleStyle::setTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    Q_EMIT changed();
}

void AnswerStatusCircleStyle::setHovering(bool hovering)
{
    if (m_hovering == hovering)
        return;
    m_hovering = hovering;
    Q_EMIT changed();
}

QColor AnswerStatusCircleStyle::statusColor() const
{
    switch (m_status) {
    case Correct:
    case Incorrect: {
        const QColor base = m_status == Correct ? Theme::appGreen() : Theme::appRed();
        // Never dimmed below the level of 1, only strengthened above it.
        return m_transparent ? Theme::withOpacity(base, Theme::levelBoosted(0.72, Theme::level())) : base;
    }
    case Unanswered:
        break;
    }
    return Theme::appSecondary();
}

QColor AnswerStatusCircleStyle::fillColor() const
{
    switch (m_status) {
    case Correct:
        return m_transparent ? Theme::withOpacity(statusColor(), 0.12) : Theme::withOpacity(Theme::appGreen(), 0.16);
    case Incorrect:
        return m_transparent ? Theme::withOpacity(statusColor(), 0.12) : Theme::withOpacity(Theme::appRed(), 0.16);
    case Unanswered:
        break;
    }
    return m_transparent ? QColor(Qt::transparent) : Theme::appBackground();
}

QColor AnswerStatusCircleStyle::numberColor() const
{
    return m_status == Unanswered ? Theme::appTitle() : statusColor();
}

QColor AnswerStatusCircleStyle::outlineColor() const
{
    if (m_isCurrent)
        return m_transparent ? Theme::transparentPrimary(m_hovering, 1.0, Theme::level()) : Theme::appPrimary();
    if (m_transparent)
        return Theme::withOpacity(Theme::appSecondary(), Theme::levelScaled(0.18, Theme::level()));
    return QColor(Qt::transparent);
}

double AnswerStatusCircleStyle::outlineWidth() const
{
    return m_isCurrent ? 2.0 : 1.0;
}

QString AnswerStatusCircleStyle::badgeSymbol() const
{
    switch (m_status) {
    case Correct:
        return QStringLiteral("checkmark");
    case Incorrect:
        return QStringLiteral("xmark");
    case Unanswered:
        break;
    }
    return {};
}
