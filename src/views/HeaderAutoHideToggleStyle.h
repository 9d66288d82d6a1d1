#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// The look of the header's switch, which other on/off switches share: the
// track, its 1-pt border and the knob, from the on state, the transparent
// look, the pointer and the ink. In the transparent look every colour scales
// with the appearance level.
class HeaderAutoHideToggleStyle : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent NOTIFY changed)
    Q_PROPERTY(bool hovering READ hovering WRITE setHovering NOTIFY changed)
    Q_PROPERTY(bool on READ isOn WRITE setOn NOTIFY changed)
    Q_PROPERTY(QColor trackColor READ trackColor NOTIFY changed)
    Q_PROPERTY(QColor borderColor READ borderColor NOTIFY changed)
    Q_PROPERTY(QColor knobColor READ knobColor NOTIFY changed)

public:
    explicit HeaderAutoHideToggleStyle(QObject *parent = nullptr);

    [[nodiscard]] bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    [[nodiscard]] bool hovering() const { return m_hovering; }
    void setHovering(bool hovering);
    [[nodiscard]] bool isOn() const { return m_on; }
    void setOn(bool on);

    [[nodiscard]] QColor trackColor() const { return trackColor(m_transparent, m_on, m_hovering); }
    [[nodiscard]] QColor borderColor() const { return borderColor(m_transparent, m_on, m_hovering); }
    [[nodiscard]] QColor knobColor() const { return knobColor(m_transparent, m_hovering); }

    [[nodiscard]] static QColor trackColor(bool transparent, bool on, bool hovering);
    [[nodiscard]] static QColor borderColor(bool transparent, bool on, bool hovering);
    [[nodiscard]] static QColor knobColor(bool transparent, bool hovering);

Q_SIGNALS:
    void changed();

private:
    bool m_transparent = false;
    bool m_hovering = false;
    bool m_on = false;
};
