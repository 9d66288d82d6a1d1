#pragma once

#include "models/RealExamSummary.h"

#include <QAbstractListModel>
#include <QList>

// The past papers of the selected bank.
class RealExamListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        RealExamIdRole = Qt::UserRole + 1,
        NameRole,
        NeedVipRole,
    };
    Q_ENUM(Role)

    explicit RealExamListModel(QObject *parent = nullptr);

    // A new list is one reset.
    void setExams(const QList<RealExamSummary> &exams);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<RealExamSummary> m_exams;
};
