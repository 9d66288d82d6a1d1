#include "CryptoDiagnostics.h"

#include "NetworkLogging.h"

namespace {

// Touched only from the main thread, like the client that calls these.
QSet<QString> &requestModes()
{
    static QSet<QString> set;
    return set;
}

QSet<QString> &responseModes()
{
    static QSet<QString> set;
    return set;
}

} // namespace

std::optional<QString> CryptoDiagnostics::request(const QString &path, const QString &mode)
{
    const QString key = path + QLatin1Char(':') + mode;
    QSet<QString> &seen = requestModes();
    if (seen.contains(key))
        return std::nullopt;
    seen.insert(key);
    QString text = QStringLiteral("request path=") + path + QStringLiteral(" mode=") + mode;
    note(text);
    return text;
}

std::optional<QString> CryptoDiagnostics::response(const QString &path, const QString &mode, const QString &payload)
{
    const QString key = path + QLatin1Char(':') + mode + QLatin1Char(':') + payload;
    QSet<QString> &seen = responseModes();
    if (seen.contains(key))
        return std::nullopt;
    seen.insert(key);
    QString text = QStringLiteral("response decoded path=") + path + QStringLiteral(" mode=") + mode
                   + QStringLiteral(" payload=") + payload;
    note(text);
    return text;
}

const QSet<QString> &CryptoDiagnostics::seenRequestModes()
{
    return requestModes();
}

const QSet<QString> &CryptoDiagnostics::seenResponseModes()
{
    return responseModes();
}

void CryptoDiagnostics::note(const QString &text)
{
    qCDebug(lcVuzoNetwork).noquote() << text;
}
