#include "ExportWebPage.h"

#include "app/PdfExportLogging.h"

ExportWebPage::ExportWebPage(QWebEngineProfile *profile, QUrl document, QObject *parent)
    : QWebEnginePage(profile, parent), m_document(std::move(document))
{
}

bool ExportWebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!m_loaded && isMainFrame && url == m_document) {
        m_loaded = true;
        return true;
    }
    ++m_refused;
    qCInfo(lcPdfExport) << "[PDFExport] Refused a navigation of the export page, type" << int(type);
    return false;
}

void ExportWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &)
{
    // The service's HTML is not ours to log.
}
