#pragma once

#include <QString>

// How an option's text is shown: as plain text, or as HTML when it holds a
// tag, written out or escaped as "&lt;…&gt;".
namespace OptionContentRules {

[[nodiscard]] bool hasMarkup(const QString &content);

} // namespace OptionContentRules
