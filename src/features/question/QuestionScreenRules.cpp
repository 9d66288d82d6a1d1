#include "QuestionScreenRules.h"

#include <algorithm>

namespace QuestionScreenRules {

QList<int> visibleNormalQuestionIndices(const QList<Question> &questions, qint64 current,
                                        const QList<Material> &materials)
{
    QList<int> indices;
    const qint64 count = questions.size();
    // The pager exists only for a current question without material: the
    // material view shows that one, and plain neighbours are not kept behind it.
    if (current < 0 || current >= count || materialFor(questions.at(current), materials))
        return indices;
    const qint64 first = std::max<qint64>(0, current - pagerReach);
    const qint64 last = std::min<qint64>(count - 1, current + pagerReach);
    for (qint64 i = first; i <= last; ++i) {
        if (!materialFor(questions.at(i), materials))
            indices.append(int(i));
    }
    return indices;
}

qint64 answerableQuestionsBeforeCurrent(const QList<Question> &questions, qint64 current)
{
    qint64 count = 0;
    for (qint64 i = 0; i <= current && i < questions.size(); ++i) {
        if (!questions.at(i).sectionIntro)
            ++count;
    }
    return count;
}

QString title(const std::optional<CardMenu> &menu)
{
    return menu ? menu->name : QStringLiteral("专项练习");
}

QString modeLabel(ExamMode mode)
{
    return mode == ExamMode::review ? QStringLiteral("背题模式") : QStringLiteral("做题模式");
}

QString progressText(bool onSectionIntro, qint64 number, qint64 count)
{
    if (onSectionIntro)
        return QStringLiteral("题型说明");
    return QString::number(number) + QStringLiteral(" / ") + QString::number(count);
}

double progressFraction(qint64 before, qint64 count)
{
    return double(before) / std::max(1.0, double(count));
}

NumberFill numberFill(bool transparent, bool current, bool answered)
{
    if (transparent)
        return NumberFill::Clear;
    if (current)
        return NumberFill::Primary;
    return answered ? NumberFill::Soft : NumberFill::Background;
}

NumberText numberText(bool transparent, bool current)
{
    return current && !transparent ? NumberText::White : NumberText::Title;
}

NumberStroke numberStroke(bool transparent, bool current)
{
    return transparent && current ? NumberStroke::TitleFaint : NumberStroke::Clear;
}

QString answeredCountText(qint64 answered, qint64 answerable)
{
    return QStringLiteral("已答 %1 / %2").arg(answered).arg(answerable);
}

QString submitConfirmationMessage(qint64 answerable, qint64 answered)
{
    const qint64 unanswered = answerable - answered;
    if (unanswered > 0)
        return QStringLiteral("还有 ") + QString::number(unanswered) + QStringLiteral(" 道题未作答，确认提交吗？");
    return QStringLiteral("提交后将生成练习报告。");
}

QString sectionCountText(qint64 count)
{
    return QStringLiteral("共 %1 题").arg(count);
}

QString sectionDescriptionText(const QString &description)
{
    return description.isEmpty() ? QStringLiteral("准备好后进入本题型开始作答。") : description;
}

} // namespace QuestionScreenRules
