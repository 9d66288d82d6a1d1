#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The colours of the numbered answer circle for a question's status.
class AnswerStatusCircleStyle : public QObject
{
    Q_OBJECT
    QML_ELEMENT

public:
    enum AnswerStatus { Correct, Incorrect, Unanswered };
    Q_ENUM(AnswerStatus)

private:
    Q_PROPERTY(AnswerStatus status READ status WRITE setStatus NOTIFY changed)
    Q_PROPERTY(bool isCurrent READ isCurrent WRITE setIsCurrent NOTIFY changed)
    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent NOTIFY changed)
    Q_PROPERTY(bool hovering READ hovering WRITE setHovering NOTIFY changed)

    Q_PROPERTY(QColor statusColor READ statusColor NOTIFY changed)
    Q_PROPERTY(QColor fillColor READ fillColor NOTIFY changed)
    Q_PROPERTY(QColor numberColor READ numberColor NOTIFY changed)
    Q_PROPERTY(QColor outlineColor READ outlineColor NOTIFY changed)
    Q_PROPERTY(double outlineWidth READ outlineWidth NOTIFY changed)
    Q_PROPERTY(QString badgeSymbol READ badgeSymbol NOTIFY changed)

public:
    explicit AnswerStatusCircleStyle(QObject *parent = nullptr);

    [[nodiscard]] AnswerStatus status() const { return m_status; }
    void setStatus(AnswerStatus status);
    [[nodiscard]] bool isCurrent() const { return m_isCurrent; }
    void setIsCurrent(bool current);
    [[nodiscard]] bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    [[nodiscard]] bool hovering() const { return m_hovering; }
    void setHovering(bool hovering);

    [[nodiscard]] QColor statusColor() const;
    [[nodiscard]] QColor fillColor() const;
    [[nodiscard]] QColor numberColor() const;
    [[nodiscard]] QColor outlineColor() const;
    [[nodiscard]] double outlineWidth() const;
    // "checkmark", "xmark", or empty for an unanswered question (no badge).
    [[nodiscard]] QString badgeSymbol() const;

Q_SIGNALS:
    void changed();

private:
    AnswerStatus m_status = Unanswered;
    bool m_isCurrent = false;
    bool m_transparent = false;
    bool m_hovering = false;
};
