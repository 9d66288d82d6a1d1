#pragma once

#include "platform/VuzoError.h"

#include <QString>

// Every refusal and failure of the PDF export that the program words itself;
// the description is the complete Chinese user message.
class PdfExportError : public VuzoError
{
public:
    explicit PdfExportError(QString message) : m_message(std::move(message)) { }
    [[nodiscard]] QString localizedDescription() const override { return m_message; }

    // The user message followed directly by a technical detail.
    [[nodiscard]] static PdfExportError withDetail(const QString &message, const QString &detail)
    {
        return PdfExportError(message + detail);
    }

private:
    QString m_message;
};
