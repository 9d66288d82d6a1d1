#include "ContentViewRules.h"

#include "HtmlContentStyle.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
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
