#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Data of the "/exam/commitExam" reply. Every member strict; `useTime` must be
// a JSON string.
struct CommitResult
{
    qint64 rightNum = 0;
    QString useTime;
    qint64 wrongNum = 0;
    qint64 unAnswerNum = 0;

    [[nodiscard]] static CommitResult fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const CommitResult &) const = default;
};
