#include "RealExamListModel.h"

RealExamListModel::RealExamListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void RealExamListModel::setExams(const QList<RealExamSummary> &exams)
{
    beginResetModel();
    m_exams = exams;
    endResetModel();
}

int RealExamListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_exams.size());
}

QVariant RealExamListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const RealExamSummary &exam = m_exams.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return exam.name;
    case RealExamIdRole:
        return exam.id;
    case NeedVipRole:
        return exam.needVip;
    default:
        return {};
    }
}

QHash<int, QByteArray> RealExamListModel::roleNames() const
{
    return {{RealExamIdRole, "realExamId"}, {NameRole, "name"}, {NeedVipRole, "needVip"}};
}
