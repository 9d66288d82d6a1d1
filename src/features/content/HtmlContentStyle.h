#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The look of one content page: body type size, line height and the margins
// of paragraphs and block images.
namespace HtmlContentStyle {
Q_NAMESPACE
QML_NAMED_ELEMENT(HtmlContentStyle)

enum Style {
    Standard = 0,
    QuestionOption = 1,
    AnalysisOption = 2,
};
Q_ENUM_NS(Style)

struct Metrics
{
    double fontSize;
    QString lineHeight;
    QString paragraphBottomMargin;
    QString contentImageMargin;
};

[[nodiscard]] Metrics metrics(Style style);
// An integer that names no style reads as Standard.
[[nodiscard]] Style fromInt(int value);

} // namespace HtmlContentStyle
