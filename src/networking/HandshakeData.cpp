#include "HandshakeData.h"

#include "StrictJson.h"
#include "models/LenientJson.h"

#include <limits>

namespace {

constexpr qint64 defaultLifetimeSeconds = 7200;
constexpr qint64 minimumLifetimeSeconds = 60;

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 result = 0;
    if (!qAddOverflow(a, b, &result))
        return result;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

qint64 saturatingSecondsToMs(qint64 seconds)
{
    qint64 result = 0;
    if (!qMulOverflow(seconds, qint64(1000), &result))
        return result;
    return seconds > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

} // namespace

std::optional<qint64> HandshakeData::decodeInt(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isDouble())
        return LenientJson::integerRead(value);
    if (value.isString())
        return LenientJson::decimalIntegerParse(value.toString());
    return std::nullopt;
}

HandshakeData HandshakeData::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    HandshakeData data;
    data.sessionId = StrictJson::string(object, QLatin1StringView("sessionId"));
    data.serverPublicKey = StrictJson::string(object, QLatin1StringView("serverPublicKey"));
    data.ttlSeconds = decodeInt(object, QLatin1StringView("ttlSeconds"));
    data.expireAt = decodeInt(object, QLatin1StringView("expireAt"));
    return data;
}

qint64 HandshakeData::expiresAtMilliseconds(qint64 nowMs) const
{
    if (expireAt)
        return *expireAt;
    const qint64 seconds = ttlSeconds ? std::max(*ttlSeconds, minimumLifetimeSeconds) : defaultLifetimeSeconds;
    return saturatingAdd(nowMs, saturatingSecondsToMs(seconds));
}

HandshakeEnvelope HandshakeEnvelope::decode(const QByteArray &json)
{
    const QJsonObject object = StrictJson::parseObject(json);
    HandshakeEnvelope envelope;
    envelope.success = StrictJson::boolean(object, QLatin1StringView("success"));
    const QJsonValue data = object.value(QLatin1StringView("data"));
    if (!data.isNull() && !data.isUndefined()) {
        try {
            envelope.data = HandshakeData::fromJson(data);
        } catch (const DecodingError &error) {
            throw error.nested(QStringLiteral("data"));
        }
    }
    return envelope;
}
