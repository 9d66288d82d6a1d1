#pragma once

#include "models/Question.h"

#include <QAbstractListModel>
#include <QList>

// The plain pages the pager keeps mounted, one row per question index in
// ascending order. A move of the current question inserts and removes rows
// only where the window changed, so the pages that stay keep their delegates
// (and their loaded web views); a new set is one reset.
class PagerWindowModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        QuestionIndexRole = Qt::UserRole + 1,
        QuestionIdRole,
        IsSectionIntroRole,
        SectionTitleRole,
        SectionDescriptionRole,
        SectionQuestionCountRole,
        StemRole,
    };

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    // A new set: one reset.
    void resetWindow(const QList<Question> &questions, const QList<int> &indices);
    // The same set, another window: rows leave and enter, the rest stay.
    void moveWindow(const QList<int> &indices);
    [[nodiscard]] const QList<int> &indices() const { return m_indices; }

private:
    QList<Question> m_questions;
    QList<int> m_indices;
};
