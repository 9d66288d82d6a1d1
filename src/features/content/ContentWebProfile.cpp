#include "ContentWebProfile.h"

#include "ContentPageStore.h"
#include "ContentSchemeHandler.h"

#include <QFile>
#include <QLoggingCategory>
#include <QQmlEngine>
#include <QQuickWebEngineProfile>

Q_LOGGING_CATEGORY(lcContent, "vuzo.content")

namespace {

QString channelClientLibrary()
{
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcContent) << "the web channel client library is missing; content pages report no heights";
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace

ContentWebProfile::ContentWebProfile(QObject *parent)
    : QObject(parent)
    , m_profile(new QQuickWebEngineProfile(this))
    , m_schemeHandler(new ContentSchemeHandler(this))
{
    m_profile->setStorageName(storageName);
    m_profile->setOffTheRecord(false);
    m_profile->setHttpCacheType(QQuickWebEngineProfile::DiskHttpCache);
    m_profile->setPersistentCookiesPolicy(QQuickWebEngineProfile::NoPersistentCookies);
    m_profile->installUrlSchemeHandler(ContentPageStore::scheme, m_schemeHandler);
    // The collection's type is not public API; its insert() is invokable.
    QObject *scripts = m_profile->property("userScripts").value<QObject *>();
    if (!scripts
        || !QMetaObject::invokeMethod(scripts, "insert", Q_ARG(QWebEngineScript, userScript())))
        qCWarning(lcContent) << "could not install the content pages' script";
}

ContentWebProfile *ContentWebProfile::create(QQmlEngine *engine, QJSEngine *)
{
    auto *instance = new ContentWebProfile(engine);
    QQmlEngine::setObjectOwnership(instance, QQmlEngine::CppOwnership);
    return instance;
}

QString ContentWebProfile::handlerScriptSource()
{
    return QStringLiteral(R"JS(
if (location.protocol !== '%1:') return;
if (window.top !== window) return;
var transport = window.qt && window.qt.webChannelTransport;
if (!transport || typeof QWebChannel !== 'function') return;
var endpoint = null;
var waiting = [];
function send(name, body) {
  if (endpoint) endpoint.post(name, body);
  else if (waiting) waiting.push([name, body]);
}
new QWebChannel(transport, function (channel) {
  endpoint = channel.objects['%2'] || null;
  var queued = waiting;
  waiting = null;
  if (endpoint) queued.forEach(function (entry) { endpoint.post(entry[0], entry[1]); });
});
function handler(name) {
  return Object.freeze({ postMessage: function (body) { send(name, body); } });
}
Object.defineProperty(window, 'webkit', {
  value: Object.freeze({ messageHandlers: Object.freeze({ resize: handler('resize'), imageClick: handler('imageClick') }) }),
  configurable: false
});
)JS")
        .arg(QString::fromLatin1(ContentPageStore::scheme), channelName);
}

QWebEngineScript ContentWebProfile::userScript()
{
    QWebEngineScript script;
    script.setName(channelName);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QStringLiteral("(function () {\n") + channelClientLibrary() + QStringLiteral("\n")
                         + handlerScriptSource() + QStringLiteral("\n})();\n"));
    return script;
}
