#include "QuestionResult.h"

namespace QuestionResult {

AnswerStatusCircleStyle::AnswerStatus status(const Question &question, bool fromCollections)
{
    if (fromCollections || question.userAnswer.isEmpty())
        return AnswerStatusCircleStyle::Unanswered;
    return question.isCorrect(question.userAnswer) ? AnswerStatusCircleStyle::Correct
                                                   : AnswerStatusCircleStyle::Incorrect;
}

} // namespace QuestionResult
