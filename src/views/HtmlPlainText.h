#pragma once

#include <QString>

// The visible text of an HTML fragment, for places that need plain text
// (the PDF export writes fragments as escaped text into its own page).
class HtmlPlainText
{
public:
    // Renders the fragment as rich text and returns its text without
    // surrounding white space and line breaks; inner breaks stay. Object
    // replacement characters (the stand-ins for images) are dropped, since
    // they would print as a placeholder glyph. Text that is not valid UTF-16
    // comes back unchanged. Call on the GUI thread.
    [[nodiscard]] static QString plainText(const QString &html);
};
