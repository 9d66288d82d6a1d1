#include "AccountSites.h"

#include <QStringList>

namespace {

QUrl siteUrl(const QString &scheme, const QString &host, const QString &path)
{
    if (host.isEmpty())
        return {};
    QUrl url;
    url.setScheme(scheme);
    url.setHost(host);
    if (!path.isEmpty())
        url.setPath(path);
    return url.isValid() ? url : QUrl();
}

} // namespace

QString AccountSites::siblingHost(const QString &baseUrl, const QString &label)
{
    const QString host = QUrl(baseUrl).host();
    QStringList labels = host.split(QLatin1Char('.'));
    // Three labels at least, so that "api.com" is not turned into "shop.com".
    if (labels.size() >= 3 && labels.first() == QLatin1String("api")) {
        labels.first() = label;
        return labels.join(QLatin1Char('.'));
    }
    return host;
}

QUrl AccountSites::shopOrigin(const QString &baseUrl)
{
    return siteUrl(QStringLiteral("https"), siblingHost(baseUrl, QStringLiteral("shop")), {});
}

QUrl AccountSites::userAgreementUrl(const QString &baseUrl)
{
    return siteUrl(QStringLiteral("http"), siblingHost(baseUrl, QStringLiteral("static")),
                   QStringLiteral("/appstore/server.html"));
}

QUrl AccountSites::privacyPolicyUrl(const QString &baseUrl)
{
    return siteUrl(QStringLiteral("http"), siblingHost(baseUrl, QStringLiteral("static")),
                   QStringLiteral("/appstore/policy.html"));
}

QUrl AccountSites::shopOrigin()
{
    return shopOrigin(QStringLiteral(VUZO_API_BASE_URL));
}

QUrl AccountSites::userAgreementUrl()
{
    return userAgreementUrl(QStringLiteral(VUZO_API_BASE_URL));
}

QUrl AccountSites::privacyPolicyUrl()
{
    return privacyPolicyUrl(QStringLiteral(VUZO_API_BASE_URL));
}
