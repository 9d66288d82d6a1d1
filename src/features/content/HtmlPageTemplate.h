#pragma once

#include "HtmlContentStyle.h"

#include <QString>

#include <optional>

// The generated page around one HTML fragment from the service: a style
// sheet driven by seven custom properties, the measuring and image script,
// and the two functions through which the host recolours the page and asks
// for a new height. Plain text building, no engine.
//
// Service HTML is data: a Content-Security-Policy comes first in the head,
// and only the page's own script (carrying this load's nonce) may run.
namespace HtmlPageTemplate {

struct ContentColors
{
    QString text;
    QString accent;
    QString border;
    QString codeBackground;
    QString codeText;
    bool operator==(const ContentColors &) const = default;
};

struct Parameters
{
    ContentColors colors;
    double imageOpacity = 1;
    double hoverImageOpacity = 1;
    HtmlContentStyle::Style style = HtmlContentStyle::Standard;
    qint64 documentVersion = 1;
    bool isGraphicReasoning = false;
    QString body; // already through normalizeEncodedHTMLIfNeeded()
    QString nonce;
};

// The element names whose escaped tags mark a fragment as escaped markup:
// every element that can show content in a body, old presentational ones
// included. Document and script elements (html, head, script, style, ...)
// are left out: unescaping them would hide their text.
inline constexpr const char *encodedTagNames
    = "a|abbr|acronym|address|area|article|aside|audio|b|bdi|bdo|big|blockquote|br|button|canvas|caption|"
      "center|cite|code|col|colgroup|data|datalist|dd|del|details|dfn|dialog|dir|div|dl|dt|em|embed|"
      "fieldset|figcaption|figure|font|footer|form|h[1-6]|header|hgroup|hr|i|img|input|ins|kbd|label|"
      "legend|li|main|map|mark|math|menu|meter|nav|nobr|object|ol|optgroup|option|output|p|picture|pre|"
      "progress|q|rp|rt|ruby|s|samp|section|select|small|source|span|strike|strong|sub|summary|sup|svg|"
      "table|tbody|td|textarea|tfoot|th|thead|time|tr|track|tt|u|ul|var|video|wbr";

// 0 for x <= 0 (and NaN), min(1, x) otherwise.
[[nodiscard]] double clampOpacity(double value);

// The five colours of a page; the ink colours take the shared ink intensity
// and appearance level as they are now.
[[nodiscard]] ContentColors contentColors(double textOpacity, const std::optional<QString> &inkHex);

// A fragment whose tags arrived escaped ("&lt;p&gt;") is unescaped once.
// Only a real tag counts: a known element name, then attributes with ASCII
// names and nothing else before "&gt;", all on one line. Text that merely
// holds "&lt;" ("若x&lt;y", "a&lt;b 且 c&gt;d") stays as it is.
[[nodiscard]] QString normalizeEncodedHTMLIfNeeded(const QString &fragment);

// A fresh random nonce for one load.
[[nodiscard]] QString newNonce();

// The whole document.
[[nodiscard]] QString page(const Parameters &parameters);

// The recolouring script run in a loaded page; with notifyHeight it also asks
// the page to report its height again.
[[nodiscard]] QString styleUpdateScript(const ContentColors &colors, double imageOpacity, double hoverImageOpacity,
                                        bool notifyHeight);

// Lets the page scroll inside its view (a page taller than the tallest view)
// or takes that back, returning to the top.
[[nodiscard]] QString innerScrollScript(bool scrolls);

} // namespace HtmlPageTemplate
