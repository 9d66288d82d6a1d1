#include "QuestionBodyRules.h"

#include "Theme.h"
#include "models/Question.h"

namespace QuestionBodyRules {

QString optionLetter(qint64 index)
{
    const qint64 code = index + 65;
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (index >= 0 && code < 0x110000 && !surrogate) {
        const char32_t scalar = char32_t(code);
        return QString::fromUcs4(&scalar, 1);
    }
    return QString::number(index + 1);
}

OptionFeedback optionFeedback(const QString &letter, ExamMode mode, bool revealed, const QString &correctAnswer,
                              const QString &userAnswer)
{
    if (mode != ExamMode::review || !revealed)
        return OptionFeedback::none;
    if (Question::answerSet(correctAnswer).contains(letter))
        return OptionFeedback::correct;
    if (Question::answerSet(userAnswer).contains(letter))
        return OptionFeedback::wrongPick;
    return OptionFeedback::none;
}

bool isOptionSelected(const QString &letter, QuestionType type, const std::optional<QString> &stored)
{
    if (!stored)
        return false;
    if (type == QuestionType::multiple)
        return Question::answerSet(*stored).contains(letter);
    return *stored == letter;
}

QString typeTag(QuestionType type)
{
    switch (type) {
    case QuestionType::multiple:
        return QStringLiteral("多选题");
    case QuestionType::answer:
        return QStringLiteral("简答题");
    case QuestionType::single:
        break;
    }
    return QStringLiteral("单选题");
}

QString confirmLabel(bool isLastQuestion, ExamMode mode)
{
    if (isLastQuestion)
        return QStringLiteral("确认并交卷");
    if (mode == ExamMode::review)
        return QStringLiteral("确定");
    return QStringLiteral("确认并进入下一题");
}

QString revealLabel(bool isLastQuestion)
{
    return isLastQuestion ? QStringLiteral("确认并交卷") : QStringLiteral("查看解析");
}

QString analysisHtml(const QString &analysis)
{
    return analysis.isEmpty() ? QStringLiteral("暂无解析") : analysis;
}

double htmlTextOpacity(bool transparent)
{
    return transparent ? 1.0 : 0.86;
}

double htmlImageOpacity(bool transparent, double level)
{
    return transparent ? Theme::levelBoosted(0.68, level) : 1.0;
}

namespace {

QColor feedbackBase(OptionFeedback feedback)
{
    return feedback == OptionFeedback::correct ? Theme::appGreen() : Theme::appRed();
}

const QColor white = QColor::fromRgbF(1, 1, 1);
const QColor clear = QColor::fromRgbF(0, 0, 0, 0);

} // namespace

QColor optionFillColor(const OptionLook &look)
{
    if (look.transparent)
        return clear;
    if (look.feedback != OptionFeedback::none)
        return feedbackBase(look.feedback);
    return look.selected ? Theme::appPrimary() : Theme::appBackground();
}

QColor optionBorderColor(const OptionLook &look)
{
    if (look.feedback != OptionFeedback::none) {
        const QColor c = feedbackBase(look.feedback);
        return look.transparent ? Theme::withOpacity(c, Theme::levelBoosted(0.72, look.level)) : c;
    }
    if (look.transparent) {
        if (!look.selected)
            return Theme::withOpacity(Theme::appSecondary(), 0.45);
        return Theme::withOpacity(Theme::appPrimary(), Theme::levelBoosted(look.hovering ? 1.0 : 0.83, look.level));
    }
    return look.selected ? Theme::appPrimary() : QColor::fromRgbF(0, 0, 0, 0.07f);
}

QColor optionLetterColor(const OptionLook &look)
{
    if (look.feedback != OptionFeedback::none) {
        if (!look.transparent)
            return white;
        return Theme::withOpacity(feedbackBase(look.feedback), Theme::levelBoosted(0.72, look.level));
    }
    if (!look.selected)
        return Theme::appSecondary();
    if (!look.transparent)
        return white;
    return Theme::transparentPrimary(look.hovering, 1.0, look.level);
}

QColor optionRowFillColor(const OptionLook &look)
{
    if (look.transparent)
        return clear;
    if (look.feedback != OptionFeedback::none)
        return Theme::withOpacity(feedbackBase(look.feedback), 0.10);
    return look.selected ? Theme::withOpacity(Theme::appPrimarySoft(), 0.55) : white;
}

QColor optionFeedbackColor(OptionFeedback feedback, bool transparent, double level)
{
    if (feedback == OptionFeedback::none)
        return clear;
    const QColor c = feedbackBase(feedback);
    return transparent ? Theme::withOpacity(c, Theme::levelBoosted(0.72, level)) : c;
}

} // namespace QuestionBodyRules
