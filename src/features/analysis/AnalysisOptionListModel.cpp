#include "AnalysisOptionListModel.h"

#include "QuestionBodyRules.h"

AnalysisOptionListModel::AnalysisOptionListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void AnalysisOptionListModel::setQuestion(const Question &question, bool fromCollections)
{
    const QSet<QString> right = Question::answerSet(question.answer);
    const QSet<QString> picked = fromCollections ? QSet<QString>{} : Question::answerSet(question.userAnswer);
    QList<Row> rows;
    rows.reserve(question.questionOptions.size());
    for (qsizetype i = 0; i < question.questionOptions.size(); ++i) {
        Row row;
        row.letter = QuestionBodyRules::optionLetter(i);
        row.content = question.questionOptions.at(i);
        row.isRight = right.contains(row.letter);
        row.isWrongPick = !row.isRight && picked.contains(row.letter);
        rows.append(row);
    }
    setRows(std::move(rows));
}

void AnalysisOptionListModel::clear()
{
    setRows({});
}

void AnalysisOptionListModel::setRows(QList<Row> rows)
{
    const qsizetype kept = std::min(rows.size(), m_rows.size());
    if (rows.size() < m_rows.size()) {
        beginRemoveRows({}, int(rows.size()), int(m_rows.size() - 1));
        m_rows.resize(rows.size());
        endRemoveRows();
    }
    for (qsizetype i = 0; i < kept; ++i) {
        if (m_rows.at(i) == rows.at(i))
            continue;
        m_rows[i] = rows.at(i);
        const QModelIndex changed = index(int(i));
        Q_EMIT dataChanged(changed, changed);
    }
    if (rows.size() > m_rows.size()) {
        beginInsertRows({}, int(m_rows.size()), int(rows.size() - 1));
        for (qsizetype i = m_rows.size(); i < rows.size(); ++i)
            m_rows.append(rows.at(i));
        endInsertRows();
    }
}

int AnalysisOptionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant AnalysisOptionListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case LetterRole:
        return row.letter;
    case ContentRole:
        return row.content;
    case IsRightRole:
        return row.isRight;
    case IsWrongPickRole:
        return row.isWrongPick;
    case IsMarkedRole:
        return row.isRight || row.isWrongPick;
    default:
        return {};
    }
}

QHash<int, QByteArray> AnalysisOptionListModel::roleNames() const
{
    return {{LetterRole, "letter"},
            {ContentRole, "content"},
            {IsRightRole, "isRight"},
            {IsWrongPickRole, "isWrongPick"},
            {IsMarkedRole, "isMarked"}};
}
