#pragma once

#include <QDateTime>
#include <QString>

// The file name proposed for an exported practice set.
class PdfFileName
{
public:
    // The title with each of / : \ ? * " < > | LF CR replaced by "_", then "_",
    // the local time as yyyy-MM-dd_HH-mm-ss and ".pdf".
    [[nodiscard]] static QString forTitle(const QString &title, const QDateTime &localTime);
};
