#pragma once

#include <QWebEngineUrlSchemeHandler>

// Serves the content views' pages from ContentPageStore. Anything else under
// the scheme (an older version, another view's page, a relative address in
// the fragment resolved against the page) is not found.
class ContentSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // Declares the scheme to the engine; must run before the engine starts.
    static void registerScheme();

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};
