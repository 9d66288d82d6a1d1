#pragma once

#include "PurchaseEvent.h"

#include <QJsonValue>
#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QQueue>
#include <QUrl>
#include <QWebEngineScript>
#include <QtQml/qqmlregistration.h>

#include <optional>

class PurchaseBridgeEndpoint;

// The shop page's bridge, one per web view: the page address, the user
// script that gives the page its frozen posting object, the checks every
// posted message passes, the credentials hand-over and the one-shot payment
// report. The view feeds it its current address, registers channelObject in
// its web channel under handlerName, runs the scripts it asks for and loads
// new-window requests in place when opensInPlace() allows.
class PurchaseWebBridge : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(QUrl shopOrigin READ shopOrigin WRITE setShopOrigin NOTIFY shopOriginChanged)
    Q_PROPERTY(QUrl pageUrl READ pageUrl NOTIFY shopOriginChanged)
    Q_PROPERTY(QUrl currentUrl READ currentUrl WRITE setCurrentUrl NOTIFY currentUrlChanged)
    Q_PROPERTY(QObject *channelObject READ channelObject CONSTANT)
    Q_PROPERTY(QString handlerName READ handlerName CONSTANT)
    Q_PROPERTY(bool successHandled READ successHandled NOTIFY successHandledChanged)

public:
    static inline const QString messageHandlerName = QStringLiteral("tolqDesktopPurchase");
    static inline const QString pageQuery
        = QStringLiteral("utm_source=official&utm_medium=website&desktop_client=mac");

    explicit PurchaseWebBridge(QObject *parent = nullptr);
    ~PurchaseWebBridge() override;

    [[nodiscard]] AppModel *model() const;
    void setModel(AppModel *model);
    // "https://host" (a port only where tests serve the shop); the shop
    // address of this build unless set.
    [[nodiscard]] QUrl shopOrigin() const { return m_shopOrigin; }
    void setShopOrigin(const QUrl &origin);
    [[nodiscard]] QUrl pageUrl() const { return pageUrl(m_shopOrigin); }
    [[nodiscard]] QUrl currentUrl() const { return m_currentUrl; }
    void setCurrentUrl(const QUrl &url);
    [[nodiscard]] QObject *channelObject() const;
    [[nodiscard]] static QString handlerName() { return messageHandlerName; }
    [[nodiscard]] bool successHandled() const { return m_successHandled; }

    // origin + "/?" + pageQuery; empty when the origin is not an https
    // address with a host or the result does not parse.
    [[nodiscard]] static QUrl pageUrl(const QUrl &origin);
    // What the page sees as location.origin: "https://host[:port]".
    [[nodiscard]] static QString originText(const QUrl &origin);
    // The bridge's own page script (without the channel client library).
    [[nodiscard]] static QString bridgeScriptSource(const QUrl &origin);
    // The script injected at document creation into the main frame only:
    // the channel client library and the bridge script, in a scope of their own.
    Q_INVOKABLE [[nodiscard]] QWebEngineScript userScript() const;

    // The message checks that need no model: the view is on an https page of
    // the shop host (any port), the body is a string, it decodes as an
    // event, and the event's version is 1.
    [[nodiscard]] static std::optional<PurchaseEvent> acceptedEvent(const QUrl &viewUrl, const QString &shopHost,
                                                                    const QJsonValue &body);
    // The origin the view's main document reported for itself (location.origin,
    // read in a world of our own): the hand-over runs only for an https page
    // on the shop host.
    [[nodiscard]] static bool isShopDocument(const QString &documentOrigin, const QString &shopHost);
    // What location.hostname says on the shop: IPv6 addresses in brackets.
    [[nodiscard]] static QString locationHostname(const QUrl &origin);
    // A new-window request is loaded in the view only for http and https.
    Q_INVOKABLE [[nodiscard]] static bool opensInPlace(const QUrl &url);

    // One message posted by the page: checked, then dispatched on its type.
    void handleMessage(const QJsonValue &body);
    // The answer to documentOriginRequested(), in the order asked: the
    // message it settles is acted on only when the document is (still) the
    // shop's.
    Q_INVOKABLE void documentOriginReported(const QString &documentOrigin);

Q_SIGNALS:
    void modelChanged();
    void shopOriginChanged();
    void currentUrlChanged();
    void successHandledChanged();
    // The view runs script in the page's main world; its result is not used.
    void scriptEvaluationRequested(const QString &script);
    // A credentials request or a payment passed the message checks: the view
    // reads the main document's location.origin in an isolated world and
    // answers through documentOriginReported(). The channel does not say
    // which document sent a message, and the view's address may already be
    // the next page's while the old document still runs.
    void documentOriginRequested();
    // The first payment reported with an order id; at most once per bridge.
    void paymentSucceeded();

private:
    void handOverCredentials();
    void reportPayment(const PurchaseEvent &event);

    QPointer<AppModel> m_model;
    QUrl m_shopOrigin;
    QUrl m_currentUrl;
    // Messages waiting for their document's origin, oldest first.
    QQueue<PurchaseEvent> m_awaitingOrigin;
    PurchaseBridgeEndpoint *m_endpoint;
    bool m_successHandled = false;
};
