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

void ExamBankListModel::setSelectedBankId(const QString &bankId)
{
    if (bankId == m_selectedBankId)
        return;
    const QString previous = m_selectedBankId;
    m_selectedBankId = bankId;
    for (int row = 0; row < m_banks.size(); ++row) {
        const QString &id = m_banks.at(row).id;
        if (id == previous || id == bankId)
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
        return bank.id == m_selectedBankId;
    default:
        return {};
    }
}

QHash<int, QByteArray> ExamBankListModel::roleNames() const
{
    return {{BankIdRole, "bankId"}, {NameRole, "name"}, {IsShowRole, "isShow"}, {IsSelectedRole, "isSelected"}};
}
