#include "AnswerGridModel.h"

#include "QuestionResult.h"

#include <algorithm>

AnswerGridModel::AnswerGridModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void AnswerGridModel::setQuestions(const QList<Question> &questions, bool fromCollections)
{
    QList<Entry> entries;
    entries.reserve(questions.size());
    for (const Question &question : questions)
        entries.append(Entry{question.id, int(QuestionResult::status(question, fromCollections))});

    const bool sameIds = entries.size() == m_entries.size()
        && std::equal(entries.cbegin(), entries.cend(), m_entries.cbegin(),
                      [](const Entry &a, const Entry &b) { return a.id == b.id; });
    if (!sameIds) {
        beginResetModel();
        m_entries = std::move(entries);
        endResetModel();
        return;
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).status != m_entries.at(i).status) {
            m_entries[i].status = entries.at(i).status;
            const QModelIndex changed = index(int(i));
            Q_EMIT dataChanged(changed, changed, {StatusRole});
        }
    }
}

void AnswerGridModel::setCurrentIndex(qsizetype index)
{
    if (index == m_current)
        return;
    const qsizetype previous = m_current;
    m_current = index;
    for (const qsizetype row : {previous, index}) {
        if (row >= 0 && row < m_entries.size()) {
            const QModelIndex changed = this->index(int(row));
            Q_EMIT dataChanged(changed, changed, {IsCurrentRole});
        }
    }
}

int AnswerGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant AnswerGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_entries.at(index.row());
    switch (role) {
    case NumberRole:
        return index.row() + 1;
    case StatusRole:
        return entry.status;
    case IsCurrentRole:
        return index.row() == m_current;
    case QuestionIdRole:
        return entry.id;
    default:
        return {};
    }
}

QHash<int, QByteArray> AnswerGridModel::roleNames() const
{
    return {{NumberRole, "number"}, {StatusRole, "status"}, {IsCurrentRole, "isCurrent"}, {QuestionIdRole, "questionId"}};
}
