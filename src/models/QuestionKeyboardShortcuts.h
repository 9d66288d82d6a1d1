#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>

struct KeyEventInfo;

// What a single answering key can do on the question screen.
enum class QuestionShortcutAction { optionA, optionB, optionC, optionD, confirm };

namespace QuestionShortcutActions {
// optionA, optionB, optionC, optionD, confirm: every walk over the actions uses this order.
[[nodiscard]] QList<QuestionShortcutAction> allCases();
[[nodiscard]] QString rawValue(QuestionShortcutAction action);
[[nodiscard]] inline QString id(QuestionShortcutAction action) { return rawValue(action); }
// Exact, case-sensitive match of the whole text.
[[nodiscard]] std::optional<QuestionShortcutAction> fromRawValue(const QString &raw);
}

inline size_t qHash(QuestionShortcutAction v, size_t seed = 0) noexcept { return ::qHash(int(v), seed); }

// The single-key answering bindings. An action missing from `bindings` takes its
// binding from `defaultValue()`.
struct QuestionKeyboardShortcuts
{
    bool enabled = true;
    QHash<QuestionShortcutAction, QString> bindings;

    // Enabled; optionA "z", optionB "x", optionC "c", optionD "v", confirm "return".
    [[nodiscard]] static const QuestionKeyboardShortcuts &defaultValue();

    // The key identifier in force for action: its own entry, else the default one.
    [[nodiscard]] QString effectiveBinding(QuestionShortcutAction action) const;
    // True when the five effective bindings are non-empty and pairwise different.
    [[nodiscard]] bool isValid() const;
    // The first action (in allCases order) whose effective binding is key; `enabled`
    // plays no part, the caller checks it.
    [[nodiscard]] std::optional<QuestionShortcutAction> action(const QString &key) const;

    // JSON form: {"enabled": bool, "bindings": [action, key, action, key, ...]}.
    // Reading is strict and throws DecodingError on any deviation.
    [[nodiscard]] static QuestionKeyboardShortcuts fromJson(const QJsonValue &json);
    [[nodiscard]] QJsonObject toJson() const;
    // The stored form: UTF-8 JSON bytes. fromJsonData gives nothing when the bytes
    // do not parse or do not decode.
    [[nodiscard]] QByteArray toJsonData() const;
    [[nodiscard]] static std::optional<QuestionKeyboardShortcuts> fromJsonData(const QByteArray &data);

    friend bool operator==(const QuestionKeyboardShortcuts &, const QuestionKeyboardShortcuts &) = default;
};

// Turns key presses into key identifiers and identifiers into button labels.
namespace QuestionShortcutKey {
// "return", "space", "left", "right", "down", "up" or one lower-case character;
// nothing when Control, Option, Command or Function is held or the key types
// no usable character.
[[nodiscard]] std::optional<QString> identifier(const KeyEventInfo &event);
// "Enter", "空格", arrows; anything else upper-cased.
[[nodiscard]] QString displayName(const QString &identifier);
}
