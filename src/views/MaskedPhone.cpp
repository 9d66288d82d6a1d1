#include "MaskedPhone.h"

#include "platform/UserDefaults.h"

#include <QList>
#include <QTextBoundaryFinder>

namespace {

// Start positions of every grapheme cluster, plus the end of the text.
QList<qsizetype> graphemeBoundaries(const QString &text)
{
    QList<qsizetype> boundaries;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.toStart();
    for (qsizetype position = 0; position != -1; position = finder.toNextBoundary())
        boundaries.append(position);
    return boundaries;
}

} // namespace

QString MaskedPhone::masked(const QString &mobile)
{
    const QList<qsizetype> boundaries = graphemeBoundaries(mobile);
    const qsizetype characters = boundaries.isEmpty() ? 0 : boundaries.size() - 1;
    if (characters < 7)
        return mobile;
    const qsizetype headEnd = boundaries.at(3);
    const qsizetype tailStart = boundaries.at(characters - 4);
    return mobile.left(headEnd) + QStringLiteral("****") + mobile.mid(tailStart);
}

QString MaskedPhone::maskedStoredMobile()
{
    return masked(UserDefaults::standard().string(QString::fromLatin1(mobileKey)).value_or(QString()));
}
