#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The heading a section-introduction pseudo-question carries. All members are
// strict.
struct QuestionSectionIntro
{
    QString title;
    QString description;
    qint64 questionCount = 0;

    [[nodiscard]] static QuestionSectionIntro fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const QuestionSectionIntro &) const = default;
};

size_t qHash(const QuestionSectionIntro &intro, size_t seed = 0);
