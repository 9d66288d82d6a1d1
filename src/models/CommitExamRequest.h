#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

// One answer of a submission.
struct UserAnswerRequest
{
    QString questionId;
    QString userAnswer; // empty when unanswered
    qint64 useTime = 0; // whole seconds

    [[nodiscard]] static UserAnswerRequest fromJson(const QJsonValue &value); // strict
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const UserAnswerRequest &) const = default;
};

// Body of "/exam/commitExam".
struct CommitExamRequest
{
    QString userExamId;
    qint64 costTime = 0; // whole seconds
    QList<UserAnswerRequest> userAnswerList;

    [[nodiscard]] static CommitExamRequest fromJson(const QJsonValue &value); // strict
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const CommitExamRequest &) const = default;
};
