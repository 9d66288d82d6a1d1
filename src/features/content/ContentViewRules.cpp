#include "ContentViewRules.h"

#include "HtmlContentStyle.h"
#include "HtmlPageTemplate.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <optional>

double ContentViewRules::sheetScale(double uiScale)
{
    if (!std::isfinite(uiScale))
        return 1.0;
    const double rounded = std::round(uiScale * 20) / 20;
    return std::clamp(rounded, 0.5, 1.5);
}

QSizeF ContentViewRules::previewSize(double uiScale, const QSizeF &visibleFrame)
{
    const double s = sheetScale(uiScale);
    const QSizeF base(640 * s, 480 * s);
    if (!(visibleFrame.width() > 0) || !(visibleFrame.height() > 0))
        return base;
    return {std::min(base.width(), visibleFrame.width()), std::min(base.height(), visibleFrame.height())};
}

QSizeF ContentViewRules::imagePreviewSize(double uiScale, QQuickItem *item)
{
    const QQuickWindow *window = item ? item->window() : nullptr;
    const QScreen *screen = window ? window->screen() : nullptr;
    return previewSize(uiScale, screen ? QSizeF(screen->availableGeometry().size()) : QSizeF());
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

namespace {

std::optional<QString> bareParagraph(const QString &html)
{
    static const QRegularExpression paragraph(QStringLiteral("^\\s*<p>([^<>]*)</p>\\s*$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = paragraph.match(html);
    // Escaped tags inside are unescaped by the page and shown as markup.
    if (!match.hasMatch() || HtmlPageTemplate::normalizeEncodedHTMLIfNeeded(html) != html)
        return std::nullopt;
    // The page's white space: runs of it are one space, none at the ends.
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\n\\r\\f]+"));
    QString text = match.captured(1);
    text.replace(blanks, QStringLiteral(" "));
    return text.trimmed();
}

} // namespace

bool ContentViewRules::isPlainParagraph(const QString &html)
{
    return bareParagraph(html).has_value();
}

QString ContentViewRules::paragraphText(const QString &html)
{
    const std::optional<QString> text = bareParagraph(html);
    // Decoded last, so that "&nbsp;" stays a space that does not collapse.
    return text ? decodeCharacterReferences(*text) : QString();
}

QColor ContentViewRules::contentTextColor(double textOpacity, const QString &inkHex)
{
    // The page's own colour text, "rgba(r, g, b, a)", read back.
    const QString css = HtmlPageTemplate::contentColors(
                            textOpacity, inkHex.isEmpty() ? std::nullopt : std::optional<QString>(inkHex))
                            .text;
    static const QRegularExpression rgba(QStringLiteral("^rgba\\((\\d+), (\\d+), (\\d+), ([0-9.eE+-]+)\\)$"));
    const QRegularExpressionMatch match = rgba.match(css);
    if (!match.hasMatch())
        return QColor(51, 51, 51);
    QColor color(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    color.setAlphaF(float(std::clamp(match.captured(4).toDouble(), 0.0, 1.0)));
    return color;
}

double ContentViewRules::styleFontSize(int style)
{
    return HtmlContentStyle::metrics(HtmlContentStyle::fromInt(style)).fontSize;
}

double ContentViewRules::styleLineHeight(int style)
{
    const HtmlContentStyle::Metrics metrics = HtmlContentStyle::metrics(HtmlContentStyle::fromInt(style));
    return metrics.lineHeight.toDouble() * metrics.fontSize;
}

bool ContentViewRules::isOverContent(QQuickItem *area, const QPointF &scenePosition)
{
    const auto shownAt = [&scenePosition](const QQuickItem *item) {
        for (const QQuickItem *clipper = item; clipper; clipper = clipper->parentItem()) {
            if ((clipper == item || clipper->clip()) && !clipper->contains(clipper->mapFromScene(scenePosition)))
                return false;
        }
        return true;
    };
    QList<QQuickItem *> pending;
    if (area)
        pending.append(area);
    while (!pending.isEmpty()) {
        QQuickItem *item = pending.takeLast();
        if (!item->isVisible() || !item->isEnabled() || !(item->opacity() > 0))
            continue;
        if (item->inherits("QQuickWebEngineView")) {
            if (shownAt(item))
                return true;
            continue;
        }
        pending.append(item->childItems());
    }
    return false;
}

double ContentViewRules::bandHeight(double contentHeight, double viewportHeight)
{
    if (!(contentHeight > 0) || !(viewportHeight > 0) || !std::isfinite(contentHeight) || !std::isfinite(viewportHeight))
        return std::max(0.0, std::isfinite(contentHeight) ? contentHeight : 0.0);
    const double band = std::ceil(2 * viewportHeight);
    // Moving a band costs a repaint of it; not worth it for a little less.
    return contentHeight > band + viewportHeight / 2 ? band : contentHeight;
}

double ContentViewRules::bandTop(double contentHeight, double bandHeight, double visibleTop, double visibleBottom,
                                 double shownTop)
{
    const double room = contentHeight - bandHeight;
    if (!(room > 0) || !std::isfinite(room))
        return 0;
    const double held = std::round(std::clamp(std::isfinite(shownTop) ? shownTop : 0.0, 0.0, room));
    if (!std::isfinite(visibleTop) || !std::isfinite(visibleBottom) || !(visibleBottom > visibleTop))
        return held;
    const double slack = std::max(0.0, bandHeight - (visibleBottom - visibleTop)) / 4;
    const bool topInside = held <= 0.5 || visibleTop >= held + slack;
    const bool bottomInside = held >= room - 0.5 || visibleBottom <= held + bandHeight - slack;
    if (topInside && bottomInside)
        return held;
    return std::round(std::clamp((visibleTop + visibleBottom - bandHeight) / 2, 0.0, room));
}
