#include "PracticeHistoryListModel.h"

PracticeHistoryListModel::PracticeHistoryListModel(CompletedFunction completed, QObject *parent)
    : QAbstractListModel(parent)
    , m_completed(std::move(completed))
{
}

PracticeHistoryListModel::Row PracticeHistoryListModel::rowOf(const PracticeHistoryRecord &record) const
{
    return Row{record, m_completed ? m_completed(record) : record.examStatus == 2};
}

namespace {
// Whether the ids of `small` appear in `large` in the same order.
template<class Rows>
bool isSubsequence(const Rows &small, const Rows &large)
{
    qsizetype at = 0;
    for (const auto &row : large) {
        if (at < small.size() && small.at(at).record.id == row.record.id)
            ++at;
    }
    return at == small.size();
}
} // namespace

void PracticeHistoryListModel::setRecords(const QList<PracticeHistoryRecord> &records)
{
    if (records.isSharedWith(m_records) && records.size() == m_records.size())
        return;
    QVector<Row> next;
    next.reserve(records.size());
    for (const PracticeHistoryRecord &record : records)
        next.append(rowOf(record));
    m_records = records;

    if (m_rows.isEmpty() && next.isEmpty())
        return;
    if (next.isEmpty()) {
        // Emptied: a new scope or generation, not a user's deletion row by row.
        beginResetModel();
        m_rows.clear();
        endResetModel();
        return;
    }
    if (next.size() >= m_rows.size() && isSubsequence(m_rows, next)) {
        insertMissing(next);
        announceChanged(next);
    } else if (next.size() < m_rows.size() && isSubsequence(next, m_rows)) {
        removeMissing(next);
        announceChanged(next);
    } else {
        beginResetModel();
        m_rows = std::move(next);
        endResetModel();
    }
}

void PracticeHistoryListModel::appendRecords(const QList<PracticeHistoryRecord> &records, qsizetype keptCount)
{
    if (keptCount != m_rows.size() || keptCount > records.size()) {
        setRecords(records);
        return;
    }
    m_records = records;
    if (keptCount == records.size())
        return;
    beginInsertRows(QModelIndex(), int(keptCount), int(records.size() - 1));
    for (qsizetype i = keptCount; i < records.size(); ++i)
        m_rows.append(rowOf(records.at(i)));
    endInsertRows();
}

void PracticeHistoryListModel::refreshCompleted()
{
    for (int row = 0; row < m_rows.size(); ++row) {
        Row &current = m_rows[row];
        const bool completed = rowOf(current.record).completed;
        if (completed == current.completed)
            continue;
        current.completed = completed;
        Q_EMIT dataChanged(index(row), index(row), {CompletedRole});
    }
}

void PracticeHistoryListModel::insertMissing(const QVector<Row> &next)
{
    // Walk both lists; each run of new ids is one insert.
    int row = 0;
    while (row < next.size()) {
        if (row < m_rows.size() && m_rows.at(row).record.id == next.at(row).record.id) {
            ++row;
            continue;
        }
        // The run ends where the next kept row appears.
        const bool keptFollows = row < m_rows.size();
        int end = row;
        while (end < next.size() && !(keptFollows && next.at(end).record.id == m_rows.at(row).record.id))
            ++end;
        beginInsertRows(QModelIndex(), row, end - 1);
        for (int i = row; i < end; ++i)
            m_rows.insert(i, next.at(i));
        endInsertRows();
        row = end;
    }
}

void PracticeHistoryListModel::removeMissing(const QVector<Row> &next)
{
    int row = 0;
    while (row < m_rows.size()) {
        if (row < next.size() && m_rows.at(row).record.id == next.at(row).record.id) {
            ++row;
            continue;
        }
        int end = row;
        while (end < m_rows.size() && !(row < next.size() && m_rows.at(end).record.id == next.at(row).record.id))
            ++end;
        beginRemoveRows(QModelIndex(), row, end - 1);
        m_rows.remove(row, end - row);
        endRemoveRows();
    }
}

void PracticeHistoryListModel::announceChanged(const QVector<Row> &next)
{
    if (next.size() != m_rows.size()) {
        // Repeated ids can defeat the walk above; a reset is always right.
        beginResetModel();
        m_rows = next;
        endResetModel();
        return;
    }
    for (int row = 0; row < next.size(); ++row) {
        Row &current = m_rows[row];
        const Row &fresh = next.at(row);
        if (current.record == fresh.record && current.completed == fresh.completed)
            continue;
        current = fresh;
        Q_EMIT dataChanged(index(row), index(row));
    }
}

int PracticeHistoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PracticeHistoryListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    const PracticeHistoryRecord &record = row.record;
    switch (role) {
    case Qt::DisplayRole:
    case ExamNameRole:
        return record.examName;
    case RecordIdRole:
        return record.id;
    case ExamIdRole:
        return record.examId;
    case ExamBankIdRole:
        return record.examBankId;
    case FormattedDateRole:
        return record.formattedDate();
    case BeginTimeRole:
        return record.beginTime;
    case RightNumRole:
        return record.rightNum;
    case WrongNumRole:
        return record.wrongNum;
    case UnAnswerNumRole:
        return record.unAnswerNum;
    case ExamStatusRole:
        return record.examStatus;
    case CompletedRole:
        return row.completed;
    default:
        return {};
    }
}

QHash<int, QByteArray> PracticeHistoryListModel::roleNames() const
{
    return {
        {RecordIdRole, "recordId"},
        {ExamNameRole, "examName"},
        {ExamIdRole, "examId"},
        {ExamBankIdRole, "examBankId"},
        {FormattedDateRole, "formattedDate"},
        {BeginTimeRole, "beginTime"},
        {RightNumRole, "rightNum"},
        {WrongNumRole, "wrongNum"},
        {UnAnswerNumRole, "unAnswerNum"},
        {ExamStatusRole, "examStatus"},
        {CompletedRole, "completed"},
    };
}
