#pragma once

#include "models/Question.h"

#include <QAbstractListModel>
#include <QList>
#include <functional>

// The answer card's numbers: one row per real question (section
// introductions left out), numbered from 1, with the question's place in the
// set. Answered and current changes touch only the rows that changed.
class AnswerCardModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        NumberRole = Qt::UserRole + 1,
        SourceIndexRole,
        QuestionIdRole,
        AnsweredRole,
        CurrentRole,
    };

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    using AnsweredTest = std::function<bool(const Question &)>;
    void resetEntries(const QList<Question> &questions, qint64 current, const AnsweredTest &answered);
    void updateAnswered(const AnsweredTest &answered);
    void updateCurrent(qint64 current);

private:
    struct Entry
    {
        Question question;
        int sourceIndex;
        bool answered;
    };
    QList<Entry> m_entries;
    qint64 m_current = -1;
};
