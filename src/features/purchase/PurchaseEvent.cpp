#include "PurchaseEvent.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {

// A whole number that fits a 64-bit integer, as a strict integer decoder
// takes it (1 and 1.0 alike, but not 1.5 or 1e40).
std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(number) || number != std::trunc(number) || number < -limit || number >= limit)
        return std::nullopt;
    return static_cast<qint64>(number);
}

} // namespace

std::optional<PurchaseEvent> PurchaseEvent::decode(const QByteArray &utf8)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    const std::optional<qint64> version = wholeNumber(object.value(QLatin1String("version")));
    if (!version)
        return std::nullopt;
    const QJsonValue type = object.value(QLatin1String("type"));
    if (!type.isString())
        return std::nullopt;

    PurchaseEvent event;
    event.version = *version;
    event.type = type.toString();
    const QJsonValue orderId = object.value(QLatin1String("orderId"));
    if (orderId.isString())
        event.orderId = orderId.toString();
    else if (!orderId.isUndefined() && !orderId.isNull())
        return std::nullopt;
    return event;
}
