#include "OptionContentRules.h"

#include <QRegularExpression>

namespace OptionContentRules {

bool hasMarkup(const QString &content)
{
    static const QRegularExpression tag(QStringLiteral("<\\s*/?\\s*[a-zA-Z][^>]*>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression escapedTag(QStringLiteral("&lt;\\s*/?\\s*[a-zA-Z].*?&gt;"),
                                               QRegularExpression::CaseInsensitiveOption);
    return tag.match(content).hasMatch() || escapedTag.match(content).hasMatch();
}

} // namespace OptionContentRules
