#pragma once

#include "models/Material.h"
#include "models/Question.h"
#include "models/QuestionModel.h"
#include "models/RealExamSection.h"

#include <QJsonValue>
#include <QList>
#include <QString>

// A joined past paper. Decodes only; no member can fail.
struct RealExamDetail
{
    QString id;
    QString name;
    QString remark;
    QList<Material> materialsList;
    QList<Question> questionList;
    QString userExamLogId; // becomes the set's userExamId
    QString extraInfo;     // the sections as JSON text

    [[nodiscard]] static RealExamDetail fromJson(const QJsonValue &value);

    // Parsed from extraInfo on every call; empty when it cannot be read.
    [[nodiscard]] QList<RealExamSection> sections() const;
    // The paper as a set, with a section-intro pseudo-question before each section.
    [[nodiscard]] QuestionModel questionModel() const;

    // Inserts the intro of each section at rangBegin + i, clamped to the list.
    [[nodiscard]] static QList<Question> insertingSectionIntros(QList<Question> questions,
                                                                const QList<RealExamSection> &sections);

    bool operator==(const RealExamDetail &) const = default;
};
