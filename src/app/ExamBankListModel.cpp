#include "ExamBankListModel.h"

ExamBankListModel::ExamBankListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void ExamBankListModel::setBanks(const QList<ExamBank> &banks)
{
    beginResetModel();
    m_banks = banks;
    endResetModel();
}

void ExamBankListModel::setSelectedBank(const ExamBank &bank)
{
    if (m_selected == bank)
        return;
    QList<bool> before;
    before.reserve(m_banks.size());
    for (const ExamBank &row : std::as_const(m_banks))
        before.append(isSelected(row));
    m_selected = bank;
    for (int row = 0; row < m_banks.size(); ++row) {
        if (isSelected(m_banks.at(row)) != before.at(row))
            Q_EMIT dataChanged(index(row), index(row), {IsSelectedRole});
    }
}

int ExamBankListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_banks.size());
}

QVariant ExamBankListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ExamBank &bank = m_banks.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return bank.name;
    case BankIdRole:
        return bank.id;
    case IsShowRole:
        return bank.isShow;
    case IsSelectedRole:
        return isSelected(bank);
    default:
        return {};
    }
}

QHash<int, QByteArray> ExamBankListModel::roleNames() const
{
    return {{BankIdRole, "bankId"}, {NameRole, "name"}, {IsShowRole, "isShow"}, {IsSelectedRole, "isSelected"}};
}
