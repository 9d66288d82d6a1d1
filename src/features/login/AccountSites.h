#pragma once

#include <QString>
#include <QUrl>

// The web addresses of the account screens, derived from the service's base
// address (the build setting VUZO_API_BASE_URL): the shop and the static pages
// live on sibling hosts of the service host ("api.example.com" gives
// "shop.example.com" and "static.example.com"); any other host is used as is.
class AccountSites
{
public:
    // The host of baseUrl with a leading "api" label replaced by label; the
    // host unchanged when it has no such label (an IP address, "localhost");
    // empty when baseUrl has no host.
    [[nodiscard]] static QString siblingHost(const QString &baseUrl, const QString &label);

    // "https://shop.<domain>": scheme and host only.
    [[nodiscard]] static QUrl shopOrigin();
    // The plain-http user agreement and privacy pages on the static host.
    [[nodiscard]] static QUrl userAgreementUrl();
    [[nodiscard]] static QUrl privacyPolicyUrl();

    // The same, for another service address.
    [[nodiscard]] static QUrl shopOrigin(const QString &baseUrl);
    [[nodiscard]] static QUrl userAgreementUrl(const QString &baseUrl);
    [[nodiscard]] static QUrl privacyPolicyUrl(const QString &baseUrl);
};
