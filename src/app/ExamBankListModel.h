#pragma once

#include "models/ExamBank.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <optional>

// The exam banks the bank picker lists, with the selected one marked: the
// row equal to the selected bank in id, name and isShow (a bank of the same
// id under another name is not the selected one).
class ExamBankListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        BankIdRole = Qt::UserRole + 1,
        NameRole,
        IsShowRole,
        IsSelectedRole,
    };
    Q_ENUM(Role)

    explicit ExamBankListModel(QObject *parent = nullptr);

    // A new list is one reset.
    void setBanks(const QList<ExamBank> &banks);
    // Only the rows whose mark changes are announced.
    void setSelectedBank(const ExamBank &bank);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<ExamBank> m_banks;
    std::optional<ExamBank> m_selected;

    [[nodiscard]] bool isSelected(const ExamBank &bank) const { return m_selected && bank == *m_selected; }
};
