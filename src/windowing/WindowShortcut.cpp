#include "WindowShortcut.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <cmath>
#include <limits>

namespace {

std::optional<quint32> unsignedInteger(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number) || number < 0
        || number > double(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    return quint32(number);
}

} // namespace

std::optional<WindowShortcut> WindowShortcut::fromJson(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const auto keyCode = unsignedInteger(object.value(QLatin1String("keyCode")));
    const auto modifiers = unsignedInteger(object.value(QLatin1String("modifiers")));
    const QJsonValue label = object.value(QLatin1String("label"));
    if (!keyCode || !modifiers || !label.isString())
        return std::nullopt;
    return WindowShortcut{*keyCode, *modifiers, label.toString()};
}

QByteArray WindowShortcut::toJson() const
{
    QJsonObject object;
    object.insert(QLatin1String("keyCode"), qint64(keyCode));
    object.insert(QLatin1String("modifiers"), qint64(modifiers));
    object.insert(QLatin1String("label"), label);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString WindowShortcut::displayLabel() const
{
    QStringList parts;
    if (modifiers & commandModifier)
        parts.append(QStringLiteral("Ctrl"));
    if (modifiers & optionModifier)
        parts.append(QStringLiteral("Alt"));
    if (modifiers & shiftModifier)
        parts.append(QStringLiteral("Shift"));
    if (modifiers & controlModifier)
        parts.append(QStringLiteral("Super"));
    const qsizetype blank = label.indexOf(QLatin1Char(' '));
    const QString name = blank < 0 ? label : label.mid(blank + 1);
    if (!name.isEmpty())
        parts.append(name);
    return parts.join(QStringLiteral(" + "));
}
