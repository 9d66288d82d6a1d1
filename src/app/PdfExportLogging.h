#pragma once

#include <QLoggingCategory>

// The PDF export's system log lines ("[PDFExport] …"). Never given a token or
// an account.
Q_DECLARE_LOGGING_CATEGORY(lcPdfExport)
