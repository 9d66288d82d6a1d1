#pragma once

#include "models/ExamMode.h"
#include "models/QuestionType.h"

#include <QColor>
#include <QSet>
#include <QString>

// The presentation rules of one question page: option letters, the review
// marks of the options, the texts of its buttons and the colours of an option
// row. Pure functions, so the views only bind to their results.
namespace QuestionBodyRules {

// How an option is marked once a review question is revealed.
enum class OptionFeedback : int { none = 0, correct = 1, wrongPick = 2 };

// "A" for 0 … "Z" for 25, then the characters that follow in Unicode; the
// 1-based number when index + 65 is no character at all.
[[nodiscard]] QString optionLetter(qint64 index);

// Marks appear only on a revealed question in review mode: every letter of the
// correct answer, and a picked letter that is not part of it.
[[nodiscard]] OptionFeedback optionFeedback(const QString &letter, ExamMode mode, bool revealed,
                                            const QString &correctAnswer, const QString &userAnswer);

// Whether an option shows as picked: a single choice compares the stored
// letter exactly, a multiple choice looks for the letter in the stored set.
[[nodiscard]] bool isOptionSelected(const QString &letter, QuestionType type, const std::optional<QString> &stored);

[[nodiscard]] QString typeTag(QuestionType type);

// The confirm button of a multiple-choice question: the last question hands
// the set in, review mode reveals, practice mode moves on.
[[nodiscard]] QString confirmLabel(bool isLastQuestion, ExamMode mode);
// The button of a subjective question before it is revealed.
[[nodiscard]] QString revealLabel(bool isLastQuestion);
// A revealed review question takes no more answers.
[[nodiscard]] constexpr bool isLocked(ExamMode mode, bool revealed)
{
    return mode == ExamMode::review && revealed;
}
[[nodiscard]] constexpr bool isLastQuestion(qint64 currentIndex, qint64 count)
{
    return currentIndex >= count - 1;
}

// The review result panel is for revealed choice questions in review mode.
[[nodiscard]] constexpr bool showsReviewResult(QuestionType type, ExamMode mode, bool revealed)
{
    return type != QuestionType::answer && mode == ExamMode::review && revealed;
}

// "暂无解析" stands in for an empty analysis (not trimmed).
[[nodiscard]] QString analysisHtml(const QString &analysis);

// The opacities handed to the HTML views of a page.
[[nodiscard]] double htmlTextOpacity(bool transparent);
[[nodiscard]] double htmlImageOpacity(bool transparent, double level);

// The look of an option row. Feedback decides every colour when present; the
// pointer matters only for a picked row in the transparent look.
struct OptionLook
{
    bool transparent = false;
    double level = 1.0;
    bool selected = false;
    OptionFeedback feedback = OptionFeedback::none;
    bool hovering = false;
};
[[nodiscard]] QColor optionFillColor(const OptionLook &look);
[[nodiscard]] QColor optionBorderColor(const OptionLook &look);
[[nodiscard]] QColor optionLetterColor(const OptionLook &look);
[[nodiscard]] QColor optionRowFillColor(const OptionLook &look);
[[nodiscard]] QColor optionFeedbackColor(OptionFeedback feedback, bool transparent, double level);

} // namespace QuestionBodyRules
