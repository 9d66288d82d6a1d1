#pragma once

#include "models/LenientJson.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>

// The members every business reply carries. `data` is left as JSON for the
// typed step below.
struct APIEnvelopeHead
{
    bool success = false;
    std::optional<QString> errCode;
    std::optional<QString> errMessage;
    QJsonValue data; // undefined or null when absent

    // Strict: "success" must be a JSON boolean, "errCode" and "errMessage"
    // strings when present and not null. Throws DecodingError.
    [[nodiscard]] static APIEnvelopeHead decode(const QByteArray &json);

    [[nodiscard]] bool hasData() const { return !data.isNull() && !data.isUndefined(); }
};

// How the envelope's data becomes a result: records by their own decoder,
// lists strictly element by element, and a truth value only from a JSON
// boolean.
template<class T>
struct APIResultDecoding
{
    static T fromJson(const QJsonValue &value) { return T::fromJson(value); }
};

template<class T>
struct APIResultDecoding<QList<T>>
{
    static QList<T> fromJson(const QJsonValue &value) { return decodeList<T>(value); }
};

template<>
struct APIResultDecoding<bool>
{
    static bool fromJson(const QJsonValue &value)
    {
        if (!value.isBool())
            throw DecodingError::typeMismatch(QString(), QStringLiteral("布尔值"));
        return value.toBool();
    }
};

// The response envelope {success, errCode, errMessage, data} with data typed.
template<class T>
struct APIEnvelope
{
    bool success = false;
    std::optional<QString> errCode;
    std::optional<QString> errMessage;
    std::optional<T> data;

    // Throws DecodingError, also when a present `data` fails as T.
    [[nodiscard]] static APIEnvelope decode(const QByteArray &json)
    {
        APIEnvelopeHead head = APIEnvelopeHead::decode(json);
        APIEnvelope envelope;
        envelope.success = head.success;
        envelope.errCode = std::move(head.errCode);
        envelope.errMessage = std::move(head.errMessage);
        if (head.hasData()) {
            try {
                envelope.data = APIResultDecoding<T>::fromJson(head.data);
            } catch (const DecodingError &error) {
                throw error.nested(QStringLiteral("data"));
            }
        }
        return envelope;
    }
};
