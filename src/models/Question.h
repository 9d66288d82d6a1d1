#pragma once

#include "models/QuestionSectionIntro.h"
#include "models/QuestionType.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

struct RealExamSection;

// One question of a set. Values are never changed in place; the user's answers
// live apart from them, keyed by `id`.
struct Question
{
    QString id;
    QString analysis;            // HTML
    QString answer;              // option letters, or the model answer text
    QString context;             // the stem, HTML
    QString examBankId;
    QString examId;
    std::optional<QString> materialsId;
    QString menuId;
    QString note;
    QString questionFrom;
    QList<QString> questionOptions; // HTML, lettered A, B, C… in order
    QuestionType questionType = QuestionType::single;
    QString useTime = QStringLiteral("0");
    QString userAnswer;
    bool isCollect = false;
    // Present only on a section-introduction pseudo-question.
    std::optional<QuestionSectionIntro> sectionIntro;

    [[nodiscard]] static Question fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    // The option letters A–Z in a text after full Unicode upper-casing.
    [[nodiscard]] static QSet<QString> answerSet(const QString &text);
    // Whether the given answer is right: letter sets for choice questions, the
    // exact text for answer questions; false for a blank answer.
    [[nodiscard]] bool isCorrect(const QString &givenAnswer) const;

    // The pseudo-question that introduces a past-paper section at position
    // `index` of the section list. (The data member above already carries the
    // name sectionIntro, so the factory is spelled make….)
    [[nodiscard]] static Question makeSectionIntro(const RealExamSection &section, qint64 index);

    bool operator==(const Question &) const = default;
};

size_t qHash(const Question &question, size_t seed = 0);
