#pragma once

#include "models/Material.h"
#include "models/Question.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>

// A question set: the questions in answering order, their materials, the
// service's answering log and a title.
struct QuestionModel
{
    QList<Material> materialsList;     // lenient: empty on any failure
    QList<Question> questionList;      // strict: every element must be an object
    std::optional<QString> userExamId; // absent: never registered with the service
    std::optional<QString> title;

    [[nodiscard]] static QuestionModel fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const QuestionModel &) const = default;
};

size_t qHash(const QuestionModel &model, size_t seed = 0);
