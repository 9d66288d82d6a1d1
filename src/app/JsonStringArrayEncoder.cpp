#include "JsonStringArrayEncoder.h"

std::optional<QString> JsonStringArrayEncoder::encode(const QStringList &values)
{
    QString out;
    qsizetype estimate = 2;
    for (const QString &v : values)
        estimate += v.size() + 3;
    out.reserve(estimate + estimate / 8);
    out += QLatin1Char('[');
    bool first = true;
    for (const QString &v : values) {
        if (!first)
            out += QLatin1Char(',');
        first = false;
        if (!appendString(out, v))
            return std::nullopt;
    }
    out += QLatin1Char(']');
    return out;
}

bool JsonStringArrayEncoder::appendString(QString &out, const QString &value)
{
    static const char hexDigits[] = "0123456789abcdef";
    out += QLatin1Char('"');
    const QChar *p = value.constData();
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        switch (c) {
        case u'"':
            out += QLatin1String("\\\"");
            continue;
        case u'\\':
            out += QLatin1String("\\\\");
            continue;
        case u'/':
            out += QLatin1String("\\/");
            continue;
        case u'\b':
            out += QLatin1String("\\b");
            continue;
        case u'\f':
            out += QLatin1String("\\f");
            continue;
        case u'\n':
            out += QLatin1String("\\n");
            continue;
        case u'\r':
            out += QLatin1String("\\r");
            continue;
        case u'\t':
            out += QLatin1String("\\t");
            continue;
        default:
            break;
        }
        if (c < 0x20) {
            const char esc[] = {'\\', 'u', '0', '0', hexDigits[(c >> 4) & 0xF], hexDigits[c & 0xF]};
            out += QLatin1String(esc, 6);
            continue;
        }
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= n || !QChar::isLowSurrogate(p[i + 1].unicode()))
                return false;
            out += p[i];
            out += p[i + 1];
            ++i;
            continue;
        }
        if (QChar::isLowSurrogate(c))
            return false;
        out += p[i];
    }
    out += QLatin1Char('"');
    return true;
}
