#include "PdfFileName.h"

QString PdfFileName::forTitle(const QString &title, const QDateTime &localTime)
{
    static constexpr char16_t unsafe[] = u"/:\\?*\"<>|\n\r";
    QString name = title;
    for (QChar &c : name) {
        for (char16_t u : unsafe) {
            if (u != 0 && c.unicode() == u) {
                c = QLatin1Char('_');
                break;
            }
        }
    }
    return name + QLatin1Char('_') + localTime.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + QStringLiteral(".pdf");
}
