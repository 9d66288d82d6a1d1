#pragma once

#include "models/Material.h"
#include "models/Question.h"
#include "models/QuestionModel.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>

// The report of one answering log.
struct HistoryReport
{
    qint64 rightNum = 0;
    QString useTime = QStringLiteral("0");
    qint64 wrongNum = 0;
    qint64 unAnswerNum = 0;
    QString commitTime;
    QString title = QStringLiteral("练习报告");
    QString examId;
    QString logId;
    QList<Material> materialsList;
    QList<Question> questionList; // carries the user's answers
    std::optional<QString> extraInfo; // a past paper's sections, as JSON text

    [[nodiscard]] static HistoryReport fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    // Correct rate in whole percent, 0…100, exact integer arithmetic.
    [[nodiscard]] qint64 rightRate() const;
    // The set rebuilt for resuming, section intros re-inserted.
    [[nodiscard]] QuestionModel resumedQuestionModel(const QString &recordID) const;

    bool operator==(const HistoryReport &) const = default;
};

size_t qHash(const HistoryReport &report, size_t seed = 0);
