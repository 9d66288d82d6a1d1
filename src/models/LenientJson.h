#pragma once

#include "platform/VuzoError.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The service is loose about JSON types: ids arrive as strings or numbers,
// counts as numbers or numeric strings, and any member may be missing or null.
// Records read most members through the lenient readers below, which never
// throw; only the container step, strict members and strict lists throw
// DecodingError.
//
// Numbers: Qt's JSON parser keeps an integer literal that fits in 64 signed
// bits as an exact integer, so ids and millisecond times beyond 2^53 survive
// QJsonDocument::fromJson unchanged. Literals with a fraction or an exponent,
// and integers beyond the 64-bit range, are held as doubles and lose precision
// past 2^53 as every double does. The integer read below accepts both forms
// when the value is whole and in range. A number beyond the double range
// (1e400) is refused by the parser itself, so the document fails as a whole.

class DecodingError : public VuzoError
{
public:
    enum class Kind { keyNotFound, valueNotFound, typeMismatch, dataCorrupted };

    DecodingError(Kind kind, QStringList codingPath, QString debugDescription = {});

    static DecodingError keyNotFound(const QString &key);
    // `expected` names the wanted JSON type ("文本", "整数", "数组", "对象"…).
    static DecodingError valueNotFound(const QString &key, const QString &expected);
    static DecodingError typeMismatch(const QString &key, const QString &expected);
    static DecodingError dataCorrupted(const QString &key, const QString &description);

    [[nodiscard]] Kind kind() const { return m_kind; }
    // Keys from the outermost record inwards; list positions as "[3]".
    [[nodiscard]] const QStringList &codingPath() const { return m_codingPath; }
    // "questionList[3].sectionIntro.title"; empty for the top level.
    [[nodiscard]] QString codingPathText() const;
    [[nodiscard]] const QString &debugDescription() const { return m_debugDescription; }

    // The same error seen from one level further out (a key or "[i]").
    [[nodiscard]] DecodingError nested(const QString &outer) const;

    [[nodiscard]] QString localizedDescription() const override;

private:
    Kind m_kind;
    QStringList m_codingPath;
    QString m_debugDescription;
};

// The typed reads and text forms the lenient rules are built from.
namespace LenientJson {

// A JSON string, exactly as sent.
[[nodiscard]] std::optional<QString> textRead(const QJsonValue &value);
// A JSON number that is whole and within the signed 64-bit range.
[[nodiscard]] std::optional<qint64> integerRead(const QJsonValue &value);
// Any JSON number, as a double.
[[nodiscard]] std::optional<double> doubleRead(const QJsonValue &value);

// 42 → "42", -7 → "-7".
[[nodiscard]] QString integerText(qint64 value);
// Shortest text that reads back as the same double: 3.5, 0.25, 1e+19, 1e-05.
// Fixed notation for 1e-4 <= |x| < 1e16, exponent form (two digits at least)
// otherwise.
[[nodiscard]] QString doubleText(double value);

// Optional sign, then ASCII digits only; must fit 64 signed bits.
[[nodiscard]] std::optional<qint64> decimalIntegerParse(QStringView text);
// strtod in the C locale, consumed to the very end; the empty text and a text
// starting with a blank give nothing. May yield inf or nan.
[[nodiscard]] std::optional<double> doubleParse(QStringView text);
// x truncated toward zero when -2^63 <= x < 2^63; nothing for nan, inf and
// everything out of range.
[[nodiscard]] std::optional<qint64> truncatedInt64(double value);

// Decoding of one list element or optional member of type T: records by
// T::fromJson, texts strictly.
template<class T>
struct Decode
{
    static T fromJson(const QJsonValue &value) { return T::fromJson(value); }
};

template<>
struct Decode<QString>
{
    static QString fromJson(const QJsonValue &value);
};

template<class T>
struct Encode
{
    static QJsonValue toJson(const T &value) { return value.toJson(); }
};

template<>
struct Encode<QString>
{
    static QJsonValue toJson(const QString &value) { return value; }
};

} // namespace LenientJson

// The container step of a record: the value must be a JSON object.
[[nodiscard]] QJsonObject decodeObject(const QJsonValue &value);

// Strict list: throws when the value is not an array or any element fails;
// the error's path names the element ("[3].id").
template<class T>
[[nodiscard]] QList<T> decodeList(const QJsonValue &value)
{
    if (!value.isArray()) {
        if (value.isNull() || value.isUndefined())
            throw DecodingError::valueNotFound(QString(), QStringLiteral("数组"));
        throw DecodingError::typeMismatch(QString(), QStringLiteral("数组"));
    }
    const QJsonArray array = value.toArray();
    QList<T> result;
    result.reserve(array.size());
    qsizetype index = 0;
    for (const QJsonValue &element : array) {
        try {
            result.append(LenientJson::Decode<T>::fromJson(element));
        } catch (const DecodingError &error) {
            throw error.nested(QLatin1Char('[') + QString::number(index) + QLatin1Char(']'));
        }
        ++index;
    }
    return result;
}

template<class T>
[[nodiscard]] QJsonArray encodeList(const QList<T> &list)
{
    QJsonArray array;
    for (const T &element : list)
        array.append(LenientJson::Encode<T>::toJson(element));
    return array;
}

// ---- lenient readers: never throw ------------------------------------------

// Text, else integer text, else double text, else the default.
[[nodiscard]] QString flexibleString(const QJsonObject &object, QLatin1StringView key,
                                     const QString &defaultValue = QString());
// As flexibleString, but the empty text (and no value) give nothing.
[[nodiscard]] std::optional<QString> flexibleOptionalString(const QJsonObject &object,
                                                            QLatin1StringView key);
// Integer, else a decimal integer in a string, else the default. No fractions.
[[nodiscard]] qint64 flexibleInt(const QJsonObject &object, QLatin1StringView key,
                                 qint64 defaultValue);
[[nodiscard]] std::optional<qint64> flexibleOptionalInt(const QJsonObject &object,
                                                        QLatin1StringView key);
// Integer, else a number truncated toward zero, else a decimal integer string,
// else a strtod string truncated; nan, inf and out-of-range give the default.
[[nodiscard]] qint64 flexibleInt64(const QJsonObject &object, QLatin1StringView key,
                                   qint64 defaultValue);

// The whole list, or the empty list when anything fails (never a partial list).
template<class T>
[[nodiscard]] QList<T> flexibleList(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (!value.isArray())
        return {};
    try {
        return decodeList<T>(value);
    } catch (const DecodingError &) {
        return {};
    }
}

// ---- strict members: throw DecodingError with the key ------------------------

[[nodiscard]] QString strictString(const QJsonObject &object, QLatin1StringView key);
[[nodiscard]] qint64 strictInt(const QJsonObject &object, QLatin1StringView key);

template<class T>
[[nodiscard]] QList<T> strictList(const QJsonObject &object, QLatin1StringView key)
{
    const QString keyText(key);
    const auto it = object.constFind(key);
    if (it == object.constEnd())
        throw DecodingError::keyNotFound(keyText);
    try {
        return decodeList<T>(it.value());
    } catch (const DecodingError &error) {
        throw error.nested(keyText);
    }
}

// ---- tolerant optional members: never throw ---------------------------------

// Taken only when the key is present and not null; any failure gives nothing.
template<class T>
[[nodiscard]] std::optional<T> tolerantOptional(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isNull() || value.isUndefined())
        return std::nullopt;
    try {
        return LenientJson::Decode<T>::fromJson(value);
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

// A JSON true or false; anything else (1, "true", null, absent) gives the fallback.
[[nodiscard]] bool tolerantBool(const QJsonObject &object, QLatin1StringView key, bool fallback);
