#pragma once

#include <QByteArray>
#include <QString>

// The record handed to the shop page on its credentials request. The JSON is
// written by hand so that the keys keep this order; every value is a JSON
// string, escaped so that no text can leave its string in the call script.
struct PurchaseCredentials
{
    QString token;
    QString mobile;
    QString platform = QStringLiteral("Mac");
    QString type = QStringLiteral("2");
    QString channel = QStringLiteral("Mac");
    QString channelId = QStringLiteral("9");

    // {"token":…,"mobile":…,"platform":…,"type":…,"channel":…,"channelId":…}, compact.
    [[nodiscard]] QByteArray toJson() const;
    // "window.__TOLQ_ON_APP_TOKEN__?.(" + toJson() + ");", run only when the
    // document it lands in is still the top https page on shopHostname (as
    // location.hostname writes it): the page may have been replaced since
    // its request was checked.
    [[nodiscard]] QString handOverScript(const QString &shopHostname) const;

    // A JSON string literal of text: quotes, backslashes, slashes, control
    // characters, U+2028, U+2029 and unpaired surrogates are escaped.
    [[nodiscard]] static QByteArray jsonString(const QString &text);
};
