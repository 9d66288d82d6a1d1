#include "HtmlPlainText.h"

#include <QTextDocument>

namespace {

// Unpaired surrogates cannot be encoded as UTF-8 without loss.
bool isValidUtf16(const QString &text)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= size || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

} // namespace

QString HtmlPlainText::plainText(const QString &html)
{
    if (!isValidUtf16(html))
        return html;
    QTextDocument document;
    document.setHtml(html);
    // The raw text keeps no-break spaces (toPlainText turns them into plain
    // spaces, which collapse again in the export's HTML); only the block and
    // line separators become line feeds.
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    return text.trimmed();
}
