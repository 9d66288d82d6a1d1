#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Writes a list of strings as compact JSON text exactly as the menu-path keys
// need it: no whitespace, quotation mark and backslash escaped, the solidus
// written as "\/", control characters as their short escapes or \u00xx, every
// other character (non-ASCII included) written as it is. QJsonDocument differs
// (it leaves the solidus bare), and stored keys must stay byte-identical.
//
// Text that is not valid UTF-16 (an unpaired surrogate) cannot be encoded.
class JsonStringArrayEncoder
{
public:
    [[nodiscard]] static std::optional<QString> encode(const QStringList &values);
    [[nodiscard]] static bool appendString(QString &out, const QString &value);
};
