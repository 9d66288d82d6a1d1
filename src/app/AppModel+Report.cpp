#include "AppModel.h"

#include "platform/Clock.h"

#include <QUuid>

// The report of a set that the service never registered, built on the device
// so that the set still ends on the report screen.

HistoryReport AppModel::makeLocalReport(const QuestionModel &model, qint64 elapsed, qint64 perQuestionTime) const
{
    HistoryReport report;
    const QString perQuestionText = QString::number(perQuestionTime);
    qint64 right = 0;
    qint64 unanswered = 0;
    for (const Question &question : model.questionList) {
        if (question.sectionIntro)
            continue;
        Question copy = question;
        copy.useTime = perQuestionText;
        copy.userAnswer = m_answers.value(question.id);
        if (copy.userAnswer.isEmpty())
            ++unanswered;
        else if (copy.isCorrect(copy.userAnswer))
            ++right;
        report.questionList.append(std::move(copy));
    }
    report.rightNum = right;
    report.unAnswerNum = unanswered;
    report.wrongNum = qint64(report.questionList.size()) - unanswered - right;
    report.useTime = QString::number(elapsed);
    report.commitTime = QString::number(clock().nowMilliseconds());
    if (model.title)
        report.title = *model.title;
    else if (m_selectedMenu)
        report.title = m_selectedMenu->name;
    else
        report.title = QStringLiteral("配套练习");
    report.examId = QStringLiteral("local");
    report.logId = QStringLiteral("local-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    report.materialsList = model.materialsList;
    report.extraInfo = std::nullopt;
    return report;
}
