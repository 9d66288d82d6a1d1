#include "PurchaseWebBridge.h"

#include "AccountSites.h"
#include "PurchaseBridgeEndpoint.h"
#include "PurchaseCredentials.h"
#include "app/AppModel.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPurchase, "vuzo.purchase")

namespace {

// The channel client library that Qt WebChannel ships as a resource.
QString channelClientLibrary()
{
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPurchase) << "the web channel client library is missing; the shop page gets no bridge";
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString jsString(const QString &text)
{
    return QString::fromUtf8(PurchaseCredentials::jsonString(text));
}

} // namespace

PurchaseWebBridge::PurchaseWebBridge(QObject *parent)
    : QObject(parent)
    , m_shopOrigin(AccountSites::shopOrigin())
    , m_currentUrl(pageUrl(m_shopOrigin))
    , m_endpoint(new PurchaseBridgeEndpoint([this](const QJsonValue &body) { handleMessage(body); }, this))
{
}

PurchaseWebBridge::~PurchaseWebBridge() = default;

AppModel *PurchaseWebBridge::model() const
{
    return m_model.data();
}

void PurchaseWebBridge::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    m_model = model;
    Q_EMIT modelChanged();
}

void PurchaseWebBridge::setShopOrigin(const QUrl &origin)
{
    if (m_shopOrigin == origin)
        return;
    m_shopOrigin = origin;
    Q_EMIT shopOriginChanged();
}

void PurchaseWebBridge::setCurrentUrl(const QUrl &url)
{
    if (m_currentUrl == url)
        return;
    m_currentUrl = url;
    Q_EMIT currentUrlChanged();
}

QObject *PurchaseWebBridge::channelObject() const
{
    return m_endpoint;
}

QString PurchaseWebBridge::originText(const QUrl &origin)
{
    const QString host = origin.host(QUrl::FullyEncoded);
    if (host.isEmpty())
        return {};
    QString text = QStringLiteral("https://");
    // An IPv6 address is written in brackets, as the page sees it.
    text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    const int port = origin.port();
    if (port != -1 && port != 443)
        text += QLatin1Char(':') + QString::number(port);
    return text;
}

QUrl PurchaseWebBridge::pageUrl(const QUrl &origin)
{
    const QString originString = originText(origin);
    if (originString.isEmpty())
        return {};
    const QUrl url(originString + QStringLiteral("/?") + pageQuery, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

QString PurchaseWebBridge::bridgeScriptSource(const QUrl &origin)
{
    // Runs before any script of the page. It gives the shop page, and no
    // other page or frame, a frozen object whose postMessage() reaches the
    // channel object; messages posted before the channel is up wait in order.
    return QStringLiteral(R"JS(
var expectedOrigin = %1;
if (location.origin !== expectedOrigin) return;
if (new URLSearchParams(location.search).get('desktop_client') !== 'mac') return;
if (window.top !== window) return;
var transport = window.qt && window.qt.webChannelTransport;
if (!transport || typeof QWebChannel !== 'function') return;
var channelObject = null;
var waiting = [];
var nativeBridge = {
  postMessage: function (message) {
    if (channelObject) channelObject.postMessage(message);
    else if (waiting) waiting.push(message);
  }
};
new QWebChannel(transport, function (channel) {
  channelObject = channel.objects[%2] || null;
  var queued = waiting;
  waiting = null;
  if (channelObject) queued.forEach(function (message) { channelObject.postMessage(message); });
});
Object.defineProperty(window, 'TOLQDesktopPurchase', {
  value: Object.freeze({ postMessage: message => nativeBridge.postMessage(message) }),
  configurable: false
});
)JS")
        .arg(jsString(originText(origin)), jsString(messageHandlerName));
}

QWebEngineScript PurchaseWebBridge::userScript() const
{
    QWebEngineScript script;
    script.setName(messageHandlerName);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    // One function scope keeps the channel client and the bridge's state
    // away from the page's globals.
    script.setSourceCode(QStringLiteral("(function () {\n") + channelClientLibrary() + QStringLiteral("\n")
                         + bridgeScriptSource(m_shopOrigin) + QStringLiteral("\n})();\n"));
    return script;
}

std::optional<PurchaseEvent> PurchaseWebBridge::acceptedEvent(const QUrl &viewUrl, const QString &shopHost,
                                                              const QJsonValue &body)
{
    if (!viewUrl.isValid() || viewUrl.scheme() != QLatin1String("https"))
        return std::nullopt;
    const QString host = viewUrl.host();
    if (host.isEmpty() || host != shopHost)
        return std::nullopt;
    if (!body.isString())
        return std::nullopt;
    std::optional<PurchaseEvent> event = PurchaseEvent::decode(body.toString().toUtf8());
    if (!event || event->version != 1)
        return std::nullopt;
    return event;
}

bool PurchaseWebBridge::isShopDocument(const QString &documentOrigin, const QString &shopHost)
{
    const QUrl origin(documentOrigin, QUrl::StrictMode);
    return origin.isValid() && origin.scheme() == QLatin1String("https") && !shopHost.isEmpty()
        && origin.host() == shopHost && origin.path().isEmpty();
}

QString PurchaseWebBridge::locationHostname(const QUrl &origin)
{
    const QString host = origin.host(QUrl::FullyEncoded);
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

bool PurchaseWebBridge::opensInPlace(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme();
    return scheme == QLatin1String("https") || scheme == QLatin1String("http");
}

void PurchaseWebBridge::handleMessage(const QJsonValue &body)
{
    // Refused messages leave no trace: the page cannot tell why nothing came.
    const std::optional<PurchaseEvent> event = acceptedEvent(m_currentUrl, m_shopOrigin.host(), body);
    if (!event)
        return;
    if (event->type != PurchaseEvent::authRequestType && event->type != PurchaseEvent::purchaseSuccessType)
        return;
    m_awaitingOrigin.enqueue(*event);
    Q_EMIT documentOriginRequested();
}

void PurchaseWebBridge::documentOriginReported(const QString &documentOrigin)
{
    if (m_awaitingOrigin.isEmpty())
        return;
    const PurchaseEvent event = m_awaitingOrigin.dequeue();
    if (!isShopDocument(documentOrigin, m_shopOrigin.host()))
        return;
    if (event.type == PurchaseEvent::authRequestType)
        handOverCredentials();
    else
        reportPayment(event);
}

void PurchaseWebBridge::handOverCredentials()
{
    const AppModel *model = m_model.data();
    if (!model || model->screen() != AppScreen::purchase)
        return;
    // A test environment never receives a token.
    if (model->apiEnvironment() != APIEnvironment::production)
        return;
    const std::optional<QString> token = model->token();
    if (!token)
        return;

    PurchaseCredentials credentials;
    credentials.token = *token;
    credentials.mobile = UserDefaults::standard().string(AppModel::mobileKey).value_or(QString());
    Q_EMIT scriptEvaluationRequested(credentials.handOverScript(locationHostname(m_shopOrigin)));
}

void PurchaseWebBridge::reportPayment(const PurchaseEvent &event)
{
    // An event without a usable order id does not use up the one report.
    if (!event.orderId || event.orderId->isEmpty() || m_successHandled)
        return;
    m_successHandled = true;
    Q_EMIT successHandledChanged();
    Q_EMIT paymentSucceeded();
}
