#include "LenientJson.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace {

constexpr double twoTo63 = 9223372036854775808.0;

const QString kTypeText = QStringLiteral("文本");
const QString kTypeInteger = QStringLiteral("整数");
const QString kTypeObject = QStringLiteral("对象");

QString expectedText(const QString &expected)
{
    return QStringLiteral("应为") + expected;
}

// strtod must not follow the process locale (Qt sets it from the environment,
// which may use a decimal comma).
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

bool isCBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\v' || u == u'\f' || u == u'\r';
}

} // namespace

// ---- DecodingError ------------------------------------------------------------

DecodingError::DecodingError(Kind kind, QStringList codingPath, QString debugDescription)
    : m_kind(kind), m_codingPath(std::move(codingPath)), m_debugDescription(std::move(debugDescription))
{
}

static QStringList pathOf(const QString &key)
{
    return key.isEmpty() ? QStringList() : QStringList{key};
}

DecodingError DecodingError::keyNotFound(const QString &key)
{
    return DecodingError(Kind::keyNotFound, pathOf(key), QStringLiteral("缺少字段"));
}

DecodingError DecodingError::valueNotFound(const QString &key, const QString &expected)
{
    return DecodingError(Kind::valueNotFound, pathOf(key), expectedText(expected));
}

DecodingError DecodingError::typeMismatch(const QString &key, const QString &expected)
{
    return DecodingError(Kind::typeMismatch, pathOf(key), expectedText(expected));
}

DecodingError DecodingError::dataCorrupted(const QString &key, const QString &description)
{
    return DecodingError(Kind::dataCorrupted, pathOf(key), description);
}

QString DecodingError::codingPathText() const
{
    QString text;
    for (const QString &element : m_codingPath) {
        if (!text.isEmpty() && !element.startsWith(QLatin1Char('[')))
            text += QLatin1Char('.');
        text += element;
    }
    return text;
}

DecodingError DecodingError::nested(const QString &outer) const
{
    QStringList path = m_codingPath;
    path.prepend(outer);
    return DecodingError(m_kind, std::move(path), m_debugDescription);
}

QString DecodingError::localizedDescription() const
{
    const QString prefix = QStringLiteral("数据解析失败：");
    const QString path = codingPathText();
    const QString field = QStringLiteral("字段“%1”").arg(path);
    switch (m_kind) {
    case Kind::keyNotFound:
        return prefix + QStringLiteral("缺少") + field;
    case Kind::valueNotFound:
        return prefix + (path.isEmpty() ? QStringLiteral("数据") : field)
            + QStringLiteral("为空（%1）").arg(m_debugDescription);
    case Kind::typeMismatch:
        return prefix + (path.isEmpty() ? QStringLiteral("数据") : field)
            + QStringLiteral("类型不符（%1）").arg(m_debugDescription);
    case Kind::dataCorrupted:
        break;
    }
    return prefix + m_debugDescription;
}

// ---- typed reads and text forms -------------------------------------------

namespace LenientJson {

std::optional<QString> textRead(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<qint64> integerRead(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    // toInteger() gives the exact integer Qt's parser kept, or a whole double in
    // range; its fallback marks failure unless the value really is that minimum.
    constexpr qint64 marker = std::numeric_limits<qint64>::min();
    const qint64 integer = value.toInteger(marker);
    if (integer != marker)
        return integer;
    if (value.toDouble() == -twoTo63)
        return marker;
    return std::nullopt;
}

std::optional<double> doubleRead(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

QString integerText(qint64 value)
{
    return QString::number(value);
}

QString doubleText(double value)
{
    // Shortest round-trip digits in exponent form ("1.5e+19", "-2.5e-01"), then
    // moved into fixed notation for ordinary magnitudes.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, size_t(result.ptr - buffer));
    const size_t ePos = text.find('e');
    if (result.ec != std::errc() || ePos == std::string_view::npos)
        return QString::fromLatin1(text.data(), qsizetype(text.size())); // inf, nan

    const bool negative = text.front() == '-';
    std::string digits;
    for (char c : text.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0))) {
        if (c != '.')
            digits += c;
    }
    int exponent = 0;
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);

    if (exponent < -4 || exponent >= 16)
        return QString::fromLatin1(text.data(), qsizetype(text.size()));

    std::string fixed = negative ? "-" : "";
    if (exponent < 0) {
        fixed += "0.";
        fixed.append(size_t(-exponent - 1), '0');
        fixed += digits;
    } else {
        const size_t integerDigits = size_t(exponent) + 1;
        if (digits.size() <= integerDigits) {
            fixed += digits;
            fixed.append(integerDigits - digits.size(), '0');
        } else {
            fixed += digits.substr(0, integerDigits);
            fixed += '.';
            fixed += digits.substr(integerDigits);
        }
    }
    return QString::fromLatin1(fixed.data(), qsizetype(fixed.size()));
}

std::optional<qint64> decimalIntegerParse(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulate as a negative number so that the minimum fits.
    qint64 value = 0;
    constexpr qint64 minimum = std::numeric_limits<qint64>::min();
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (minimum + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    if (value == minimum)
        return std::nullopt;
    return -value;
}

std::optional<double> doubleParse(QStringView text)
{
    if (text.isEmpty() || isCBlank(text.front()))
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        // strtod reads ASCII only; anything else (and an embedded NUL, which
        // would end the C string early) cannot be consumed to the end.
        if (c.unicode() == 0 || c.unicode() > 0x7f)
            return std::nullopt;
        bytes.append(char(c.unicode()));
    }
    char *end = nullptr;
    errno = 0;
    const double value = strtod_l(bytes.constData(), &end, cLocale());
    if (end != bytes.constData() + bytes.size())
        return std::nullopt;
    // Overflow and underflow are treated as unreadable rather than as inf or 0.
    if (errno == ERANGE)
        return std::nullopt;
    return value;
}

std::optional<qint64> truncatedInt64(double value)
{
    // NaN fails both comparisons.
    if (value >= -twoTo63 && value < twoTo63)
        return qint64(value);
    return std::nullopt;
}

QString Decode<QString>::fromJson(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isNull() || value.isUndefined())
        throw DecodingError::valueNotFound(QString(), kTypeText);
    throw DecodingError::typeMismatch(QString(), kTypeText);
}

} // namespace LenientJson

// ---- container step ------------------------------------------------------------

QJsonObject decodeObject(const QJsonValue &value)
{
    if (value.isObject())
        return value.toObject();
    if (value.isNull() || value.isUndefined())
        throw DecodingError::valueNotFound(QString(), kTypeObject);
    throw DecodingError::typeMismatch(QString(), kTypeObject);
}

// ---- lenient readers ---------------------------------------------------------

QString flexibleString(const QJsonObject &object, QLatin1StringView key, const QString &defaultValue)
{
    const QJsonValue value = object.value(key);
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double:
        if (const auto integer = LenientJson::integerRead(value))
            return LenientJson::integerText(*integer);
        return LenientJson::doubleText(value.toDouble());
    default:
        return defaultValue;
    }
}

std::optional<QString> flexibleOptionalString(const QJsonObject &object, QLatin1StringView key)
{
    QString text = flexibleString(object, key);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

std::optional<qint64> flexibleOptionalInt(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (const auto integer = LenientJson::integerRead(value))
        return integer;
    if (!value.isString())
        return std::nullopt;
    return LenientJson::decimalIntegerParse(value.toString());
}

qint64 flexibleInt(const QJsonObject &object, QLatin1StringView key, qint64 defaultValue)
{
    return flexibleOptionalInt(object, key).value_or(defaultValue);
}

qint64 flexibleInt64(const QJsonObject &object, QLatin1StringView key, qint64 defaultValue)
{
    const QJsonValue value = object.value(key);
    if (value.isDouble()) {
        if (const auto integer = LenientJson::integerRead(value))
            return *integer;
        // A fraction is truncated; nan, inf and out-of-range give the default.
        return LenientJson::truncatedInt64(value.toDouble()).value_or(defaultValue);
    }
    if (!value.isString())
        return defaultValue;
    const QString text = value.toString();
    if (const auto integer = LenientJson::decimalIntegerParse(text))
        return *integer;
    if (const auto number = LenientJson::doubleParse(text))
        return LenientJson::truncatedInt64(*number).value_or(defaultValue);
    return defaultValue;
}

// ---- strict members ------------------------------------------------------------

QString strictString(const QJsonObject &object, QLatin1StringView key)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd())
        throw DecodingError::keyNotFound(QString(key));
    const QJsonValue value = it.value();
    if (value.isString())
        return value.toString();
    if (value.isNull())
        throw DecodingError::valueNotFound(QString(key), kTypeText);
    throw DecodingError::typeMismatch(QString(key), kTypeText);
}

qint64 strictInt(const QJsonObject &object, QLatin1StringView key)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd())
        throw DecodingError::keyNotFound(QString(key));
    const QJsonValue value = it.value();
    if (value.isNull())
        throw DecodingError::valueNotFound(QString(key), kTypeInteger);
    if (!value.isDouble())
        throw DecodingError::typeMismatch(QString(key), kTypeInteger);
    if (const auto integer = LenientJson::integerRead(value))
        return *integer;
    throw DecodingError::dataCorrupted(QString(key),
                                       QStringLiteral("字段“%1”的数值 %2 不是 64 位范围内的整数")
                                           .arg(QString(key), LenientJson::doubleText(value.toDouble())));
}

bool tolerantBool(const QJsonObject &object, QLatin1StringView key, bool fallback)
{
    const QJsonValue value = object.value(key);
    return value.isBool() ? value.toBool() : fallback;
}
