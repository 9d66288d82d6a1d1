#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <optional>

// Strict keyed reads for the client's own records (envelope, handshake reply,
// request bodies): the JSON type must match exactly, nothing is coerced.
// Every failure is a DecodingError naming the key.
namespace StrictJson {

// The parser's complaint in the words the user reads, with where it was found.
[[nodiscard]] QString parseErrorText(const QJsonParseError &error);

// The bytes parsed as one JSON object.
[[nodiscard]] QJsonObject parseObject(const QByteArray &json);

// Required members: absent → keyNotFound, null → valueNotFound, other JSON
// type → typeMismatch.
[[nodiscard]] bool boolean(const QJsonObject &object, QLatin1StringView key);
[[nodiscard]] QString string(const QJsonObject &object, QLatin1StringView key);
// A whole JSON number within the signed 64-bit range; "12" is a mismatch.
[[nodiscard]] qint64 integer(const QJsonObject &object, QLatin1StringView key);
[[nodiscard]] QStringList stringList(const QJsonObject &object, QLatin1StringView key);

// Absent or null → nothing; a string → its value; anything else → typeMismatch.
[[nodiscard]] std::optional<QString> optionalString(const QJsonObject &object, QLatin1StringView key);

} // namespace StrictJson
