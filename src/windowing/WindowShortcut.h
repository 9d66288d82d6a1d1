#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <optional>

// The global show/hide key combination as stored: a virtual key code of the
// ANSI keyboard layout (6 = Z), a modifier mask and the label shown to the user.
struct WindowShortcut
{
    Q_GADGET
    Q_PROPERTY(quint32 keyCode MEMBER keyCode)
    Q_PROPERTY(quint32 modifiers MEMBER modifiers)
    Q_PROPERTY(QString label MEMBER label)

public:
    // Modifier bits of the stored mask.
    static constexpr quint32 commandModifier = 0x100; // Ctrl on this desktop
    static constexpr quint32 shiftModifier = 0x200;
    static constexpr quint32 optionModifier = 0x800; // Alt
    static constexpr quint32 controlModifier = 0x1000; // Super

    quint32 keyCode = 6;
    quint32 modifiers = optionModifier;
    QString label = QStringLiteral("⌥ Z");

    // Alt+Z.
    [[nodiscard]] static WindowShortcut defaultShortcut() { return {}; }

    // The UTF-8 JSON object {"keyCode", "modifiers", "label"}; none when a key
    // is missing, of the wrong type, or a number is not a 32-bit unsigned integer.
    [[nodiscard]] static std::optional<WindowShortcut> fromJson(const QByteArray &bytes);
    [[nodiscard]] QByteArray toJson() const;

    // The combination as a Linux keyboard names it, "Ctrl + Alt + Shift + Super + K":
    // the modifiers of the mask in that order, then the key name of the label
    // (what follows its first blank; the whole label when it has none).
    [[nodiscard]] QString displayLabel() const;

    // Same keys, whatever the label.
    [[nodiscard]] bool sameKeys(const WindowShortcut &other) const
    {
        return keyCode == other.keyCode && modifiers == other.modifiers;
    }
    friend bool operator==(const WindowShortcut &, const WindowShortcut &) = default;
};

Q_DECLARE_METATYPE(WindowShortcut)
