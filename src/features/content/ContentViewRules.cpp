#include "ContentViewRules.h"

#include "HtmlContentStyle.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QUrl>

#include <algorithm>
#include <cmath>

double ContentViewRules::sheetScale(double uiScale)
{
    if (!std::isfinite(uiScale))
        return 1.0;
    const double rounded = std::round(uiScale * 20) / 20;
    return std::clamp(rounded, 0.5, 1.5);
}

QSizeF ContentViewRules::previewSize(const QSizeF &available)
{
    const double width = available.width() > 0 ? std::min(640.0, available.width()) : 640.0;
    const double height = available.height() > 0 ? std::min(480.0, available.height()) : 480.0;
    return {width, height};
}

int ContentViewRules::imageAddress(const QString &source)
{
    const QString trimmed = source.trimmed();
    if (trimmed.isEmpty())
        return Invalid;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid())
        return Invalid;
    const QString scheme = url.scheme().toLower();
    if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
        return Loadable;
    if (scheme == QLatin1String("data") && url.path().startsWith(QLatin1String("image/"), Qt::CaseInsensitive))
        return Loadable;
    return Refused;
}

QSizeF ContentViewRules::decodeSize(const QSizeF &preview, double devicePixelRatio)
{
    const double ratio = std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    return {std::ceil(preview.width() * ratio), std::ceil(preview.height() * ratio)};
}

bool ContentViewRules::hasMarkup(const QString &content)
{
    static const QRegularExpression tag(QStringLiteral("<\\s*/?\\s*[a-zA-Z][^>]*>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression escapedTag(QStringLiteral("&lt;\\s*/?\\s*[a-zA-Z].*?&gt;"),
                                               QRegularExpression::CaseInsensitiveOption);
    return tag.match(content).hasMatch() || escapedTag.match(content).hasMatch();
}

int ContentViewRules::optionContentStyle(double fontSize)
{
    return fontSize <= 15 ? HtmlContentStyle::AnalysisOption : HtmlContentStyle::QuestionOption;
}

QString ContentViewRules::decodeCharacterReferences(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    // Only character references are to be read: anything that could be a tag
    // is escaped first, and the text keeps its white space.
    QString escaped = text;
    escaped.replace(QLatin1Char('<'), QStringLiteral("&lt;")).replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return QTextDocumentFragment::fromHtml(QStringLiteral("<pre>") + escaped + QStringLiteral("</pre>")).toPlainText();
}
