#include "AnswerCircleModel.h"

#include <algorithm>

AnswerCircleModel::AnswerCircleModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void AnswerCircleModel::setQuestions(const QList<Question> &questions, const StatusOf &statusOf,
                                     Introductions introductions)
{
    QList<Entry> entries;
    entries.reserve(questions.size());
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const Question &question = questions.at(i);
        if (question.sectionIntro && introductions == Introductions::Skipped)
            continue;
        entries.append(Entry{question, i, statusOf(question)});
    }

    const bool sameRows = entries.size() == m_entries.size()
        && std::equal(entries.cbegin(), entries.cend(), m_entries.cbegin(), [](const Entry &a, const Entry &b) {
               return a.question.id == b.question.id && a.sourceIndex == b.sourceIndex;
           });
    if (!sameRows) {
        beginResetModel();
        m_entries = std::move(entries);
        endResetModel();
        return;
    }
    for (qsizetype row = 0; row < entries.size(); ++row) {
        Entry &entry = m_entries[row];
        const bool changed = entry.status != entries.at(row).status;
        entry = std::move(entries[row]);
        if (changed)
            Q_EMIT dataChanged(index(int(row)), index(int(row)), {StatusRole});
    }
}

void AnswerCircleModel::refreshStatuses(const StatusOf &statusOf)
{
    for (qsizetype row = 0; row < m_entries.size(); ++row) {
        Entry &entry = m_entries[row];
        const int now = statusOf(entry.question);
        if (now != entry.status) {
            entry.status = now;
            Q_EMIT dataChanged(index(int(row)), index(int(row)), {StatusRole});
        }
    }
}

void AnswerCircleModel::setCurrentIndex(qsizetype sourceIndex)
{
    if (sourceIndex == m_current)
        return;
    const qsizetype previous = m_current;
    m_current = sourceIndex;
    for (qsizetype row = 0; row < m_entries.size(); ++row) {
        const qsizetype source = m_entries.at(row).sourceIndex;
        if (source == previous || source == sourceIndex)
            Q_EMIT dataChanged(index(int(row)), index(int(row)), {CurrentRole});
    }
}

int AnswerCircleModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant AnswerCircleModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_entries.at(index.row());
    switch (role) {
    case NumberRole:
        return index.row() + 1;
    case SourceIndexRole:
        return int(entry.sourceIndex);
    case QuestionIdRole:
        return entry.question.id;
    case StatusRole:
        return entry.status;
    case CurrentRole:
        return entry.sourceIndex == m_current;
    default:
        return {};
    }
}

QHash<int, QByteArray> AnswerCircleModel::roleNames() const
{
    return {{NumberRole, "number"},
            {SourceIndexRole, "sourceIndex"},
            {QuestionIdRole, "questionId"},
            {StatusRole, "status"},
            {CurrentRole, "current"}};
}
