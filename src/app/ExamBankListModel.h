#pragma once

#include "models/ExamBank.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>

// The exam banks the bank picker lists, with the selected one marked.
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
    void setSelectedBankId(const QString &bankId);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<ExamBank> m_banks;
    QString m_selectedBankId;
};
