#pragma once

#include "models/CardMenu.h"
#include "models/ExamMode.h"
#include "models/Material.h"
#include "models/MaterialLookup.h"
#include "models/Question.h"

#include <QList>
#include <QString>

#include <optional>

// The question screen's rules that need no view: which pages are mounted,
// which material a question belongs to, what the top bar, the answer card,
// the confirmation and the section card say.
namespace QuestionScreenRules {

// ---- pager -----------------------------------------------------------------
inline constexpr int pagerReach = 2;

using MaterialLookup::materialFor;
using MaterialLookup::materialKey;
// The plain pages mounted around current: within two places, without material
// questions; none while current is outside the set or has a material itself.
[[nodiscard]] QList<int> visibleNormalQuestionIndices(const QList<Question> &questions, qint64 current,
                                                      const QList<Material> &materials);
[[nodiscard]] qint64 answerableQuestionsBeforeCurrent(const QList<Question> &questions, qint64 current);

// ---- top bar ---------------------------------------------------------------
[[nodiscard]] QString title(const std::optional<CardMenu> &menu);
[[nodiscard]] QString modeLabel(ExamMode mode);
[[nodiscard]] QString progressText(bool onSectionIntro, qint64 number, qint64 count);
[[nodiscard]] double progressFraction(qint64 before, qint64 count);

// ---- answer card and confirmation --------------------------------------------
inline constexpr double collapsedCardWidth = 36;
inline constexpr double openCardWidth = 250;

enum class NumberFill { Clear, Primary, Soft, Background };
enum class NumberText { White, Title };
enum class NumberStroke { Clear, TitleFaint };
[[nodiscard]] NumberFill numberFill(bool transparent, bool current, bool answered);
[[nodiscard]] NumberText numberText(bool transparent, bool current);
[[nodiscard]] NumberStroke numberStroke(bool transparent, bool current);

[[nodiscard]] QString answeredCountText(qint64 answered, qint64 answerable);
[[nodiscard]] QString submitConfirmationMessage(qint64 answerable, qint64 answered);

// ---- section intro -------------------------------------------------------------
[[nodiscard]] QString sectionCountText(qint64 count);
[[nodiscard]] QString sectionDescriptionText(const QString &description);

} // namespace QuestionScreenRules
