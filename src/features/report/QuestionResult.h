#pragma once

#include "AnswerStatusCircleStyle.h"
#include "models/Question.h"

// What a numbered circle shows for one question of a report or an analysis.
namespace QuestionResult {

// Unanswered for an empty answer (blanks count as an answer, a wrong one),
// else correct or incorrect by the question's own rule. Collected questions
// carry no verdict of their own.
[[nodiscard]] AnswerStatusCircleStyle::AnswerStatus status(const Question &question, bool fromCollections = false);

} // namespace QuestionResult
