#pragma once

// State shared by the fake service's fixture loading and its endpoints.

#include "FakeService.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QString>

struct FakeService::Log
{
    QString id;
    QString bankId;
    int examType = 1; // 1 practice, 2 past paper
    QString name;
    QString examId; // menu id or paper id
    QJsonArray questions;
    QJsonArray materials;
    QString extraInfo; // the paper's sections as JSON text
    int status = 1; // 2 completed
    qint64 beginTime = 0;
    qint64 commitTime = 0;
    qint64 costTime = 0;
    QHash<QString, QString> answers;
    int right = 0;
    int wrong = 0;
    int unanswered = 0;
};

namespace FakeMarking {

inline QSet<QChar> letterSet(const QString &text)
{
    QSet<QChar> letters;
    for (const QChar c : text.toUpper()) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            letters.insert(c);
    }
    return letters;
}

// Service-side marking: choice questions by their letters, answer questions by the text.
inline bool isRight(const QJsonObject &question, const QString &given)
{
    const QString answer = question.value(QStringLiteral("answer")).toString();
    if (question.value(QStringLiteral("questionType")).toInt() == 3)
        return given.trimmed() == answer.trimmed();
    const QSet<QChar> expected = letterSet(answer);
    return !expected.isEmpty() && letterSet(given) == expected;
}

} // namespace FakeMarking
