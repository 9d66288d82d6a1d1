#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QString>
#include <optional>

// The data of a handshake reply.
struct HandshakeData
{
    QString sessionId;               // strict
    QString serverPublicKey;         // strict; Base64 of the X9.63 point
    std::optional<qint64> ttlSeconds; // decodeInt
    std::optional<qint64> expireAt;   // decodeInt; ms since 1970

    [[nodiscard]] static HandshakeData fromJson(const QJsonValue &value);

    // Never fails: a whole JSON number in the 64-bit range, or a string that is
    // entirely an optionally signed decimal integer in range; else nothing.
    [[nodiscard]] static std::optional<qint64> decodeInt(const QJsonObject &object, QLatin1StringView key);

    // The session's end in wall-clock ms: expireAt when given, else now plus
    // ttlSeconds (at least 60) or 7200 s; saturating instead of overflowing.
    [[nodiscard]] qint64 expiresAtMilliseconds(qint64 nowMs) const;
};

// The whole handshake reply: plain JSON, not the business envelope.
struct HandshakeEnvelope
{
    bool success = false;             // strict JSON boolean
    std::optional<HandshakeData> data; // absent or null gives none

    // Throws DecodingError.
    [[nodiscard]] static HandshakeEnvelope decode(const QByteArray &json);
};
