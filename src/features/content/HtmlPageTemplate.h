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

// The element names whose escaped tags mark a fragment as escaped markup.
inline constexpr const char *encodedTagNames
    = "p|br|span|div|img|sub|sup|b|strong|i|em|u|table|tr|td|th|ul|ol|li|font|h[1-6]";

// 0 for x <= 0 (and NaN), min(1, x) otherwise.
[[nodiscard]] double clampOpacity(double value);

// The five colours of a page; the ink colours take the shared ink intensity
// and appearance level as they are now.
[[nodiscard]] ContentColors contentColors(double textOpacity, const std::optional<QString> &inkHex);

// A fragment whose tags arrived escaped ("&lt;p&gt;") is unescaped once;
// text that merely holds "&lt;" (a formula, "若x&lt;y") stays as it is.
[[nodiscard]] QString normalizeEncodedHTMLIfNeeded(const QString &fragment);

// A fresh random nonce for one load.
[[nodiscard]] QString newNonce();

// The whole document.
[[nodiscard]] QString page(const Parameters &parameters);

// The recolouring script run in a loaded page; with notifyHeight it also asks
// the page to report its height again.
[[nodiscard]] QString styleUpdateScript(const ContentColors &colors, double imageOpacity, double hoverImageOpacity,
                                        bool notifyHeight);

} // namespace HtmlPageTemplate
