#include "HtmlContentStyle.h"

namespace HtmlContentStyle {

Metrics metrics(Style style)
{
    switch (style) {
    case QuestionOption:
        return {16, QStringLiteral("1.4"), QStringLiteral("0"), QStringLiteral("2px 0")};
    case AnalysisOption:
        return {15, QStringLiteral("1.4"), QStringLiteral("0"), QStringLiteral("2px 0")};
    case Standard:
        break;
    }
    return {20, QStringLiteral("1.8"), QStringLiteral("10px"), QStringLiteral("4px 0")};
}

Style fromInt(int value)
{
    switch (value) {
    case QuestionOption:
        return QuestionOption;
    case AnalysisOption:
        return AnalysisOption;
    default:
        return Standard;
    }
}

} // namespace HtmlContentStyle
