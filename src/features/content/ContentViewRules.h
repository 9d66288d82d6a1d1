#pragma once

#include <QObject>
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
    // The sheet lives inside the zoomed content, so it is sized in that
    // content's units: 640 x 480, each side cut to the room available.
    Q_INVOKABLE [[nodiscard]] static QSizeF previewSize(const QSizeF &available);
    // Only absolute http and https and data:image addresses load; relative
    // and file: addresses are refused, text that does not parse is invalid.
    Q_INVOKABLE [[nodiscard]] static int imageAddress(const QString &source);
    // The decoded size of a preview image: the sheet's size times the device pixel ratio.
    Q_INVOKABLE [[nodiscard]] static QSizeF decodeSize(const QSizeF &preview, double devicePixelRatio);

    // An option text holding a tag or an escaped tag is HTML.
    Q_INVOKABLE [[nodiscard]] static bool hasMarkup(const QString &content);
    // HtmlContentStyle: AnalysisOption up to 15, QuestionOption above.
    Q_INVOKABLE [[nodiscard]] static int optionContentStyle(double fontSize);
    // Plain option text with its character references ("&amp;", "&#x4E00;") decoded.
    Q_INVOKABLE [[nodiscard]] static QString decodeCharacterReferences(const QString &text);
};
