#include "HtmlPageTemplate.h"

#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <cmath>

namespace HtmlPageTemplate {

namespace {

QString number(double value)
{
    return TransparentInkPalette::decimalText(value);
}

const QRegularExpression &encodedTagExpression()
{
    // Blanks inside a tag, never a line break: a tag split over lines is text.
    static const QString blank = QStringLiteral("[ \\t]");
    // A value quoted as written or as escaped quotes, or unquoted up to "&gt;".
    static const QString value = QStringLiteral("(?:\"[^\"\\r\\n]*\"|'[^'\\r\\n]*'|&quot;.*?&quot;|&#39;.*?&#39;"
                                                "|(?:[^\\s\"'=<>`&]|&(?!gt;))+)");
    static const QString attribute = QStringLiteral("[A-Za-z_:][-A-Za-z0-9_:.]*(?:%1*=%1*%2)?").arg(blank, value);
    static const QRegularExpression expression(
        QStringLiteral("&lt;%1*/?%1*(?:%2)(?=[ \\t/]|&gt;)(?:%1+%3)*%1*/?%1*&gt;")
            .arg(blank, QLatin1String(encodedTagNames), attribute),
        QRegularExpression::CaseInsensitiveOption);
    return expression;
}

const char *const styleSheet = R"CSS(      :root {
        --content-text-color: %1;
        --content-accent-color: %2;
        --content-border-color: %3;
        --content-code-background: %4;
        --content-code-text-color: %5;
        --content-image-opacity: %6;
        --content-image-hover-opacity: %7;
      }
      html, body {
        margin: 0;
        padding: 0;
        font-family: "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", -apple-system, BlinkMacSystemFont, "Helvetica Neue", Helvetica, Arial, sans-serif;
        font-size: %8px;
        color: var(--content-text-color);
        -webkit-text-fill-color: var(--content-text-color);
        line-height: %9;
        background: transparent;
        -webkit-text-size-adjust: 100%;
        overflow: hidden;
        overflow-wrap: anywhere;
      }
      #content-root {
        display: flow-root;
      }
      h4 {
        margin: 0;
      }
      p { margin: 0 0 %10 0; }
      a {
        color: var(--content-accent-color);
        -webkit-text-fill-color: var(--content-accent-color);
      }
      table {
        width: 100%;
        max-width: 100%;
        border-collapse: collapse;
        table-layout: auto;
      }
      th, td {
        min-width: 0;
        padding: 4px 6px;
        overflow-wrap: anywhere;
        word-break: break-word;
        border: 1px solid var(--content-border-color);
      }
      ul, ol {
        margin-top: 0; margin-bottom: 0; padding-left: 1.4em;
      }
      sup, sub {
        font-size: 0.75em; line-height: 0;
      }
      img {
        width: auto !important;
        max-width: 100%;
        height: auto !important;
        vertical-align: middle;
        opacity: var(--content-image-opacity);
        transition: opacity 140ms ease-out;
      }
      img.inline-formula {
        display: inline-block;
        width: auto !important;
        height: 1em !important;
        margin: 0 2px;
        vertical-align: -0.2em;
      }
      img.content-image {
        display: block;
        margin: %11;
      }
      svg, picture {
        max-width: 100%;
        height: auto;
      }
      img:hover {
        opacity: var(--content-image-hover-opacity);
      }
      pre {
        background: var(--content-code-background);
        padding: 8px;
        border-radius: 12px;
        overflow-x: auto;
        border: 1px solid var(--content-border-color);
        font-family: 'SF Mono', Monaco, 'Cascadia Code', 'Roboto Mono', Consolas, 'Courier New', monospace;
        font-size: 13px;
        line-height: 1.8;
        color: var(--content-code-text-color);
        -webkit-text-fill-color: var(--content-code-text-color);
      }
)CSS";

// %1 version, %2 "true"/"false" graphic flag (twice).
const char *const pageScript = R"JS(      const documentVersion = %1;
      let resizeObserver;
      let setupComplete = false;

      function notifyHeight() {
        const root = document.getElementById('content-root');
        if (!root) return;
        const height = Math.max(root.scrollHeight, root.getBoundingClientRect().height);
        window.webkit?.messageHandlers?.resize?.postMessage({ type: 'height', value: height, version: documentVersion });
      }

      function resolveDeclaredWidth(img, availableWidth) {
        const style = img.getAttribute('style') || '';
        let match = style.match(/(?:^|;)\s*width\s*:\s*(\d+(?:\.\d+)?)\s*(px|pt|%)?/i);
        if (!match) {
          const attribute = img.getAttribute('width') || '';
          match = attribute.match(/^\s*(\d+(?:\.\d+)?)\s*(px|pt|%)?\s*$/i);
        }
        if (!match) return null;
        const value = parseFloat(match[1]);
        if (!isFinite(value) || value <= 0) return null;
        const unit = (match[2] || 'px').toLowerCase();
        if (unit === '%') return availableWidth * value / 100;
        if (unit === 'pt') return value * 96 / 72;
        return value;
      }

      function setupImageClickHandlers() {
        document.querySelectorAll('#content-root img').forEach(function (img) {
          if (img.dataset.macHandlersInstalled === 'true') return;
          img.dataset.macHandlersInstalled = 'true';
          img.style.cursor = 'pointer';
          img.addEventListener('click', function (event) {
            event.preventDefault();
            const src = img.getAttribute('src');
            if (typeof src === 'string' && src.length > 0) {
              window.webkit?.messageHandlers?.imageClick?.postMessage(src);
            }
          });
          const applyImageLayout = function () {
            if (!img.naturalWidth) return;
            const parent = img.parentNode;
            const hasSiblingText = !!parent && Array.prototype.some.call(parent.childNodes, function (node) {
              return node !== img && (node.textContent || '').replace(/\s/g, '').length > 0;
            });
            const isInlineFormula = !%2 && hasSiblingText && img.naturalHeight <= 120;
            img.classList.toggle('inline-formula', isInlineFormula);
            img.classList.toggle('content-image', !isInlineFormula);
            const availableWidth = Math.max(document.documentElement.clientWidth, document.body ? document.body.clientWidth : 0);
            const declaredWidth = resolveDeclaredWidth(img, availableWidth);
            const ordinaryTargetWidth = declaredWidth === null ? img.naturalWidth : declaredWidth;
            const targetWidth = %2 ? availableWidth : Math.min(ordinaryTargetWidth, availableWidth);
            img.style.setProperty('width', targetWidth + 'px', 'important');
            img.style.setProperty('height', 'auto', 'important');
            notifyHeight();
          };
          img.addEventListener('load', applyImageLayout);
          img.addEventListener('error', notifyHeight);
          if (img.complete && img.naturalWidth) applyImageLayout();
        });
      }

      function setupDocumentObservers() {
        if (setupComplete) return;
        setupComplete = true;
        setupImageClickHandlers();
        const root = document.getElementById('content-root');
        if (root && typeof ResizeObserver === 'function') {
          resizeObserver = new ResizeObserver(notifyHeight);
          resizeObserver.observe(root);
        }
        requestAnimationFrame(notifyHeight);
      }

      window.__updateContentStyle = function (textColor, accentColor, borderColor, codeBackground, codeText, imageOpacity, hoveredImageOpacity) {
        const style = document.documentElement.style;
        style.setProperty('--content-text-color', textColor);
        style.setProperty('--content-accent-color', accentColor);
        style.setProperty('--content-border-color', borderColor);
        style.setProperty('--content-code-background', codeBackground);
        style.setProperty('--content-code-text-color', codeText);
        style.setProperty('--content-image-opacity', imageOpacity);
        style.setProperty('--content-image-hover-opacity', hoveredImageOpacity);
      };
      window.__notifyContentHeight = notifyHeight;
      window.addEventListener('DOMContentLoaded', setupDocumentObservers);
      window.addEventListener('load', function () {
        setupDocumentObservers();
        setTimeout(notifyHeight, 300);
      });
      window.addEventListener('resize', notifyHeight);
)JS";

} // namespace

double clampOpacity(double value)
{
    if (!(value > 0))
        return 0;
    return std::min(1.0, value);
}

ContentColors contentColors(double textOpacity, const std::optional<QString> &inkHex)
{
    const double t = clampOpacity(textOpacity);
    if (!inkHex) {
        return {QStringLiteral("rgba(51, 51, 51, ") + number(t) + QLatin1Char(')'), QStringLiteral("#0B84FE"),
                QStringLiteral("rgba(34, 42, 58, 0.16)"), QStringLiteral("#F8F9FA"), QStringLiteral("#2C3E50")};
    }
    const double level = TransparentAppearanceScale::currentValue();
    return {TransparentInkPalette::cssRGBA(*inkHex, t), TransparentInkPalette::cssRGBA(*inkHex, 1),
            TransparentInkPalette::cssRGBA(*inkHex, clampOpacity(0.22 * level)),
            TransparentInkPalette::cssRGBA(*inkHex, clampOpacity(0.045 * level)),
            TransparentInkPalette::cssRGBA(*inkHex, t)};
}

QString normalizeEncodedHTMLIfNeeded(const QString &fragment)
{
    if (!encodedTagExpression().match(fragment).hasMatch())
        return fragment;
    QString text = fragment;
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"), Qt::CaseInsensitive);
    // Last, so that "&amp;lt;" ends as the text "&lt;", shown as "<".
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive);
    return text;
}

QString newNonce()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(words), sizeof words).toBase64());
}

QString page(const Parameters &p)
{
    const HtmlContentStyle::Metrics metrics = HtmlContentStyle::metrics(p.style);
    const QString css = QString::fromUtf8(styleSheet)
                            .arg(p.colors.text, p.colors.accent, p.colors.border, p.colors.codeBackground,
                                 p.colors.codeText, number(p.imageOpacity), number(p.hoverImageOpacity),
                                 number(metrics.fontSize), metrics.lineHeight)
                            .arg(metrics.paragraphBottomMargin, metrics.contentImageMargin);
    const QString flag = p.isGraphicReasoning ? QStringLiteral("true") : QStringLiteral("false");
    const QString script = QString::fromUtf8(pageScript).arg(QString::number(p.documentVersion), flag);
    const QString policy = QStringLiteral("script-src 'nonce-%1'; object-src 'none'; frame-src 'none'; "
                                          "base-uri 'none'; form-action 'none'")
                               .arg(p.nonce);

    QString html;
    html.reserve(css.size() + script.size() + p.body.size() + 600);
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n  <head>\n");
    html += QStringLiteral("    <meta http-equiv=\"Content-Security-Policy\" content=\"") + policy
        + QStringLiteral("\">\n");
    html += QStringLiteral("    <meta charset=\"utf-8\">\n");
    html += QStringLiteral("    <meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0, "
                           "viewport-fit=cover\">\n");
    html += QStringLiteral("    <style>\n") + css + QStringLiteral("    </style>\n");
    html += QStringLiteral("    <script nonce=\"") + p.nonce + QStringLiteral("\">\n") + script
        + QStringLiteral("    </script>\n");
    html += QStringLiteral("  </head>\n  <body>\n    <div id=\"content-root\">\n    ");
    html += p.body;
    html += QStringLiteral("\n    </div>\n  </body>\n</html>");
    return html;
}

QString styleUpdateScript(const ContentColors &colors, double imageOpacity, double hoverImageOpacity,
                          bool notifyHeight)
{
    QString script = QStringLiteral("if (window.__updateContentStyle) {\n  window.__updateContentStyle(\n");
    for (const QString *color : {&colors.text, &colors.accent, &colors.border, &colors.codeBackground,
                                 &colors.codeText})
        script += QStringLiteral("    '") + *color + QStringLiteral("',\n");
    script += QStringLiteral("    ") + number(imageOpacity) + QStringLiteral(",\n");
    script += QStringLiteral("    ") + number(hoverImageOpacity) + QStringLiteral("\n  );\n}\n");
    if (notifyHeight)
        script += QStringLiteral("if (window.__notifyContentHeight) { window.__notifyContentHeight(); }");
    return script;
}

QString innerScrollScript(bool scrolls)
{
    if (scrolls)
        return QStringLiteral("document.documentElement.style.setProperty('overflow-y', 'auto');");
    return QStringLiteral("document.documentElement.style.removeProperty('overflow-y'); window.scrollTo(0, 0);");
}

} // namespace HtmlPageTemplate
