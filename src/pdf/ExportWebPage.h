#pragma once

#include <QUrl>
#include <QWebEnginePage>

// The off-screen page of an export. It loads the one document it was given
// and refuses every other navigation: a refresh or a link in the service's
// HTML must not move the page away from what is printed.
class ExportWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    ExportWebPage(QWebEngineProfile *profile, QUrl document, QObject *parent = nullptr);

    [[nodiscard]] int refusedNavigations() const { return m_refused; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    QUrl m_document;
    bool m_loaded = false;
    int m_refused = 0;
};
