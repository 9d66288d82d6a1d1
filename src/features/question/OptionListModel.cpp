#include "OptionListModel.h"

OptionListModel::OptionListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int OptionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_contents.size());
}

QVariant OptionListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    switch (role) {
    case LetterRole:
        return letter(row);
    case ContentRole:
    case Qt::DisplayRole:
        return m_contents.at(row);
    case SelectedRole:
        return m_marks.at(row).selected;
    case FeedbackRole:
        return int(m_marks.at(row).feedback);
    default:
        return {};
    }
}

QHash<int, QByteArray> OptionListModel::roleNames() const
{
    return {{LetterRole, "letter"},
            {ContentRole, "content"},
            {SelectedRole, "selected"},
            {FeedbackRole, "feedback"}};
}

QString OptionListModel::letter(int row) const
{
    return QuestionBodyRules::optionLetter(row);
}

void OptionListModel::setContents(const QList<QString> &contents)
{
    if (contents == m_contents)
        return;
    beginResetModel();
    m_contents = contents;
    m_marks = QList<Marks>(contents.size());
    endResetModel();
}

void OptionListModel::setMarks(const QList<Marks> &marks)
{
    for (qsizetype row = 0; row < m_marks.size(); ++row) {
        const Marks next = row < marks.size() ? marks.at(row) : Marks{};
        if (next == m_marks.at(row))
            continue;
        m_marks[row] = next;
        const QModelIndex changed = index(int(row));
        Q_EMIT dataChanged(changed, changed, {SelectedRole, FeedbackRole});
    }
}
