#pragma once

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QQuickItem>
#include <QSizeF>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The image viewer's and the option view's choices, for QML and for tests.
class ContentViewRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    enum ImageAddress {
        Loadable = 0,
        Refused = 1, // shows "图片加载失败"
        Invalid = 2, // does not parse: "图片地址无效"
    };
    Q_ENUM(ImageAddress)

    using QObject::QObject;

    // The window zoom rounded to 0.05 and held to 0.5...1.5; 1.0 when not finite.
    Q_INVOKABLE [[nodiscard]] static double sheetScale(double uiScale);
    // The image sheet in screen points: 640 x 480 at the sheet scale, each
    // side cut to the screen's visible frame (none when that is empty).
    [[nodiscard]] static QSizeF previewSize(double uiScale, const QSizeF &visibleFrame);
    // The same for the screen that item's window is on.
    Q_INVOKABLE [[nodiscard]] static QSizeF imagePreviewSize(double uiScale, QQuickItem *item);
    // Only absolute http and https and data:image addresses load; relative
    // and file: addresses are refused, text that does not parse is invalid.
    Q_INVOKABLE [[nodiscard]] static int imageAddress(const QString &source);
    // The decoded size of a preview image: the sheet's size times the device pixel ratio.
    Q_INVOKABLE [[nodiscard]] static QSizeF decodeSize(const QSizeF &preview, double devicePixelRatio);

    // An option text holding a tag or an escaped tag is HTML.
    Q_INVOKABLE [[nodiscard]] static bool hasMarkup(const QString &content);
    // HtmlContentStyle: AnalysisOption up to 15, QuestionOption above.
    Q_INVOKABLE [[nodiscard]] static int optionContentStyle(double fontSize);
    // A press at scenePosition lands on a content web view under area that
    // takes the pointer: the drag it starts is the view's (a text
    // selection), not a swipe. Hidden pages, views without input and parts
    // clipped away do not count.
    Q_INVOKABLE [[nodiscard]] static bool isOverContent(QQuickItem *area, const QPointF &scenePosition);
    // Plain option text with its character references ("&amp;", "&#x4E00;") decoded.
    Q_INVOKABLE [[nodiscard]] static QString decodeCharacterReferences(const QString &text);

    // HTML that is one bare paragraph of text ("<p>text</p>": no attribute,
    // no other tag, no escaped tag) shows the same drawn as text in its page
    // style, without a web view of its own.
    Q_INVOKABLE [[nodiscard]] static bool isPlainParagraph(const QString &html);
    // That paragraph's text as the page shows it: white space runs collapsed
    // and trimmed, character references decoded; empty for other HTML.
    Q_INVOKABLE [[nodiscard]] static QString paragraphText(const QString &html);
    // The text colour, type size and line height (px) of a content page.
    Q_INVOKABLE [[nodiscard]] static QColor contentTextColor(double textOpacity, const QString &inkHex);
    Q_INVOKABLE [[nodiscard]] static double styleFontSize(int style);
    Q_INVOKABLE [[nodiscard]] static double styleLineHeight(int style);

    // A tall page is drawn only in a band around what its scroller shows,
    // which keeps a view's memory to the screen's size, not the page's.
    // The band for a page in a scroller showing viewportHeight: two screens,
    // or the whole page when that is not well above them (or nothing shows).
    Q_INVOKABLE [[nodiscard]] static double bandHeight(double contentHeight, double viewportHeight);
    // Where the band starts: where it is (shownTop) while what shows
    // (visibleTop...visibleBottom, in the page) stays a quarter of the spare
    // room inside it, or the band is at that end of the page; else centred on
    // what shows. Whole pixels, held to the page.
    Q_INVOKABLE [[nodiscard]] static double bandTop(double contentHeight, double bandHeight, double visibleTop,
                                                    double visibleBottom, double shownTop);
};
