#include "PurchaseCredentials.h"

namespace {

void appendEscape(QByteArray &out, char16_t unit)
{
    static const char hex[] = "0123456789abcdef";
    out.append("\\u");
    out.append(hex[(unit >> 12) & 0xF]);
    out.append(hex[(unit >> 8) & 0xF]);
    out.append(hex[(unit >> 4) & 0xF]);
    out.append(hex[unit & 0xF]);
}

} // namespace

QByteArray PurchaseCredentials::jsonString(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out.append('"');
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text.at(i).unicode();
        switch (unit) {
        case u'"': out.append("\\\""); continue;
        case u'\\': out.append("\\\\"); continue;
        case u'/': out.append("\\/"); continue;
        case u'\b': out.append("\\b"); continue;
        case u'\f': out.append("\\f"); continue;
        case u'\n': out.append("\\n"); continue;
        case u'\r': out.append("\\r"); continue;
        case u'\t': out.append("\\t"); continue;
        default: break;
        }
        if (unit < 0x20 || unit == 0x2028 || unit == 0x2029) {
            appendEscape(out, unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            out.append(QString(text.constData() + i, 2).toUtf8());
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            // An unpaired half has no UTF-8 form; the escape keeps it intact.
            appendEscape(out, unit);
        } else {
            out.append(QString(QChar(unit)).toUtf8());
        }
    }
    out.append('"');
    return out;
}

QByteArray PurchaseCredentials::toJson() const
{
    QByteArray json;
    json.append("{\"token\":").append(jsonString(token));
    json.append(",\"mobile\":").append(jsonString(mobile));
    json.append(",\"platform\":").append(jsonString(platform));
    json.append(",\"type\":").append(jsonString(type));
    json.append(",\"channel\":").append(jsonString(channel));
    json.append(",\"channelId\":").append(jsonString(channelId));
    json.append('}');
    return json;
}

QString PurchaseCredentials::handOverScript(const QString &shopHostname) const
{
    return QStringLiteral("(function () {\nif (location.protocol !== 'https:' || location.hostname !== ")
        + QString::fromUtf8(jsonString(shopHostname))
        + QStringLiteral(" || window.top !== window) return;\nwindow.__TOLQ_ON_APP_TOKEN__?.(")
        + QString::fromUtf8(toJson()) + QStringLiteral(");\n})();");
}
