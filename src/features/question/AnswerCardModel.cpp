#include "AnswerCardModel.h"

int AnswerCardModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant AnswerCardModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_entries.at(index.row());
    switch (role) {
    case NumberRole:
        return index.row() + 1;
    case SourceIndexRole:
        return entry.sourceIndex;
    case QuestionIdRole:
        return entry.question.id;
    case AnsweredRole:
        return entry.answered;
    case CurrentRole:
        return entry.sourceIndex == m_current;
    default:
        return {};
    }
}

QHash<int, QByteArray> AnswerCardModel::roleNames() const
{
    return {{NumberRole, "number"},
            {SourceIndexRole, "sourceIndex"},
            {QuestionIdRole, "questionId"},
            {AnsweredRole, "answered"},
            {CurrentRole, "current"}};
}

void AnswerCardModel::resetEntries(const QList<Question> &questions, qint64 current, const AnsweredTest &answered)
{
    beginResetModel();
    m_entries.clear();
    for (int i = 0; i < questions.size(); ++i) {
        const Question &question = questions.at(i);
        if (!question.sectionIntro)
            m_entries.append({question, i, answered(question)});
    }
    m_current = current;
    endResetModel();
}

void AnswerCardModel::updateAnswered(const AnsweredTest &answered)
{
    for (int row = 0; row < m_entries.size(); ++row) {
        Entry &entry = m_entries[row];
        const bool now = answered(entry.question);
        if (now != entry.answered) {
            entry.answered = now;
            Q_EMIT dataChanged(index(row), index(row), {AnsweredRole});
        }
    }
}

void AnswerCardModel::updateCurrent(qint64 current)
{
    if (current == m_current)
        return;
    const qint64 previous = m_current;
    m_current = current;
    for (int row = 0; row < m_entries.size(); ++row) {
        const int source = m_entries.at(row).sourceIndex;
        if (source == previous || source == current)
            Q_EMIT dataChanged(index(row), index(row), {CurrentRole});
    }
}
