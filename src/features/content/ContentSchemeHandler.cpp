#include "ContentSchemeHandler.h"

#include "ContentPageStore.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

void ContentSchemeHandler::registerScheme()
{
    if (QWebEngineUrlScheme::schemeByName(ContentPageStore::scheme).name() == ContentPageStore::scheme)
        return;
    QWebEngineUrlScheme scheme(ContentPageStore::scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Not secure on purpose: the service's images are often plain http, and a
    // secure page would block them as mixed content.
    scheme.setFlags({});
    QWebEngineUrlScheme::registerScheme(scheme);
}

void ContentSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    if (job->requestMethod() != QByteArrayLiteral("GET")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const std::optional<QByteArray> html = ContentPageStore::shared().page(job->requestUrl());
    if (!html) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto *buffer = new QBuffer(job);
    buffer->setData(*html);
    buffer->open(QIODevice::ReadOnly);
    job->reply(QByteArrayLiteral("text/html;charset=utf-8"), buffer);
}
