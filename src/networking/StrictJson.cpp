#include "StrictJson.h"

#include "models/LenientJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

QJsonValue required(const QJsonObject &object, QLatin1StringView key, const QString &expected)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd())
        throw DecodingError::keyNotFound(QString(key));
    if (it->isNull())
        throw DecodingError::valueNotFound(QString(key), expected);
    return *it;
}

} // namespace

QString StrictJson::parseErrorText(const QJsonParseError &error)
{
    QString text;
    switch (error.error) {
    case QJsonParseError::NoError:
        return {};
    case QJsonParseError::UnterminatedObject:
        text = QStringLiteral("对象缺少结尾");
        break;
    case QJsonParseError::MissingNameSeparator:
        text = QStringLiteral("字段名后缺少冒号");
        break;
    case QJsonParseError::UnterminatedArray:
        text = QStringLiteral("数组缺少结尾");
        break;
    case QJsonParseError::MissingValueSeparator:
        text = QStringLiteral("值之间缺少逗号");
        break;
    case QJsonParseError::IllegalValue:
        text = QStringLiteral("无效的值");
        break;
    case QJsonParseError::TerminationByNumber:
        text = QStringLiteral("数据在数字处意外结束");
        break;
    case QJsonParseError::IllegalNumber:
        text = QStringLiteral("无效的数字");
        break;
    case QJsonParseError::IllegalEscapeSequence:
        text = QStringLiteral("无效的转义字符");
        break;
    case QJsonParseError::IllegalUTF8String:
        text = QStringLiteral("文本编码无效");
        break;
    case QJsonParseError::UnterminatedString:
        text = QStringLiteral("文本缺少结尾引号");
        break;
    case QJsonParseError::MissingObject:
        text = QStringLiteral("缺少对象");
        break;
    case QJsonParseError::DeepNesting:
        text = QStringLiteral("嵌套层级过深");
        break;
    case QJsonParseError::DocumentTooLarge:
        text = QStringLiteral("数据过大");
        break;
    case QJsonParseError::GarbageAtEnd:
        text = QStringLiteral("结尾有多余内容");
        break;
    }
    if (text.isEmpty())
        text = QStringLiteral("格式错误");
    return QStringLiteral("%1（第 %2 个字节处）").arg(text).arg(error.offset);
}

QJsonObject StrictJson::parseObject(const QByteArray &json)
{
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw DecodingError::dataCorrupted(QString(), parseErrorText(parseError));
    if (!document.isObject())
        throw DecodingError::typeMismatch(QString(), QStringLiteral("对象"));
    return document.object();
}

bool StrictJson::boolean(const QJsonObject &object, QLatin1StringView key)
{
    const QString expected = QStringLiteral("布尔值");
    const QJsonValue value = required(object, key, expected);
    if (!value.isBool())
        throw DecodingError::typeMismatch(QString(key), expected);
    return value.toBool();
}

QString StrictJson::string(const QJsonObject &object, QLatin1StringView key)
{
    const QString expected = QStringLiteral("文本");
    const QJsonValue value = required(object, key, expected);
    if (!value.isString())
        throw DecodingError::typeMismatch(QString(key), expected);
    return value.toString();
}

qint64 StrictJson::integer(const QJsonObject &object, QLatin1StringView key)
{
    const QString expected = QStringLiteral("整数");
    const QJsonValue value = required(object, key, expected);
    const std::optional<qint64> number = value.isDouble() ? LenientJson::integerRead(value) : std::nullopt;
    if (!number)
        throw DecodingError::typeMismatch(QString(key), expected);
    return *number;
}

QStringList StrictJson::stringList(const QJsonObject &object, QLatin1StringView key)
{
    const QString expected = QStringLiteral("文本数组");
    const QJsonValue value = required(object, key, expected);
    if (!value.isArray())
        throw DecodingError::typeMismatch(QString(key), expected);
    QStringList list;
    const QJsonArray array = value.toArray();
    list.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue element = array.at(i);
        if (!element.isString()) {
            const QString path = QString(key) + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
            if (element.isNull())
                throw DecodingError::valueNotFound(path, QStringLiteral("文本"));
            throw DecodingError::typeMismatch(path, QStringLiteral("文本"));
        }
        list.append(element.toString());
    }
    return list;
}

std::optional<QString> StrictJson::optionalString(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    if (!value.isString())
        throw DecodingError::typeMismatch(QString(key), QStringLiteral("文本"));
    return value.toString();
}
