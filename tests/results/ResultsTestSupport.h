#pragma once

#include "AnswerStatusCircleStyle.h"
#include "PracticeTestSupport.h"

#include <QAbstractItemModelTester>

// Shared by the results tests: questions and reports built in place.
namespace ResultsTest {

inline Question choice(const QString &id, const QString &answer, const QString &userAnswer,
                       QuestionType type = QuestionType::single, int options = 4)
{
    Question question;
    question.id = id;
    question.questionType = type;
    question.answer = answer;
    question.userAnswer = userAnswer;
    question.context = QStringLiteral("<p>题干 ") + id + QStringLiteral("</p>");
    for (int i = 0; i < options; ++i)
        question.questionOptions.append(QStringLiteral("选项%1").arg(i + 1));
    return question;
}

inline HistoryReport report(qint64 right, qint64 wrong, qint64 unanswered, const QList<Question> &questions = {},
                            const QString &useTime = QStringLiteral("0"))
{
    HistoryReport value;
    value.rightNum = right;
    value.wrongNum = wrong;
    value.unAnswerNum = unanswered;
    value.useTime = useTime;
    value.title = QStringLiteral("言语理解 <b>专项</b>");
    value.questionList = questions;
    return value;
}

// The values of one role down the rows.
inline QVariantList column(const QAbstractItemModel &model, const QByteArray &role)
{
    const int key = model.roleNames().key(role, -1);
    QVariantList values;
    for (int row = 0; row < model.rowCount(); ++row)
        values.append(model.data(model.index(row, 0), key));
    return values;
}

} // namespace ResultsTest
