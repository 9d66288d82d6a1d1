#pragma once

#include "models/Material.h"
#include "models/Question.h"

#include <QList>
#include <QString>

#include <optional>

// Which material a question belongs to: the one rule the question screen, the
// analysis screen and the PDF document share.
namespace MaterialLookup {

// The trimmed id, or nothing for an empty, "0" or "null" (any case) id.
[[nodiscard]] std::optional<QString> materialKey(const std::optional<QString> &materialsId);
// Section introductions have no material; ids are compared trimmed.
[[nodiscard]] std::optional<Material> materialFor(const Question &question, const QList<Material> &materials);

} // namespace MaterialLookup
