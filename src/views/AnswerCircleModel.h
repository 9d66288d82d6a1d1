#pragma once

#include "models/Question.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

#include <functional>

// Numbered circles, one per question: the question screen's answer card, the
// report's answer overview and the analysis navigator. Numbers count from 1
// in list order; sourceIndex is the question's place in the list it came
// from, and the current mark follows that place. What status means is the
// owner's: the report and the analysis store AnswerStatusCircleStyle's
// AnswerStatus, the answer card Open/Answered. A change of status or of the
// current place touches only the rows that changed.
class AnswerCircleModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the screen controllers")

public:
    enum Role { NumberRole = Qt::UserRole + 1, SourceIndexRole, QuestionIdRole, StatusRole, CurrentRole };
    // The answer card's statuses.
    enum CardStatus { Open, Answered };
    Q_ENUM(CardStatus)
    // Whether section introductions get a circle of their own.
    enum class Introductions { Numbered, Skipped };

    using StatusOf = std::function<int(const Question &)>;

    explicit AnswerCircleModel(QObject *parent = nullptr);

    // A list of other questions is one reset; the same questions with other
    // statuses update in place.
    void setQuestions(const QList<Question> &questions, const StatusOf &statusOf,
                      Introductions introductions = Introductions::Numbered);
    // Asks for the status of every question again.
    void refreshStatuses(const StatusOf &statusOf);
    // A place in the source list; -1 (or a place without a circle) marks none.
    void setCurrentIndex(qsizetype sourceIndex);
    [[nodiscard]] qsizetype currentIndex() const { return m_current; }

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    struct Entry
    {
        Question question;
        qsizetype sourceIndex = 0;
        int status = 0;
    };
    QList<Entry> m_entries;
    qsizetype m_current = -1;
};
