#include "CollectionFolderListModel.h"

namespace {
// Deeper trees than this are the service's fault; their rows are not shown.
constexpr int maximumDepth = 32;
} // namespace

CollectionFolderListModel::CollectionFolderListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void CollectionFolderListModel::setFolders(const QList<CardMenu> &folders)
{
    beginResetModel();
    m_rows.clear();
    for (const CardMenu &folder : folders) {
        append(folder, 0);
        m_rows.last().closesCard = true;
    }
    endResetModel();
}

void CollectionFolderListModel::append(const CardMenu &folder, int depth)
{
    m_rows.append(Row{folder, depth, false});
    if (depth >= maximumDepth)
        return;
    for (const CardMenu &child : folder.children)
        append(child, depth + 1);
}

const CardMenu *CollectionFolderListModel::folderAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows.at(row).folder : nullptr;
}

int CollectionFolderListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CollectionFolderListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case MenuIdRole:
        return row.folder.menuId;
    case NameRole:
        return row.folder.name;
    case CountRole:
        return row.folder.count;
    case DepthRole:
        return row.depth;
    case OpensCardRole:
        return row.depth == 0;
    case ClosesCardRole:
        return row.closesCard;
    default:
        return {};
    }
}

QHash<int, QByteArray> CollectionFolderListModel::roleNames() const
{
    return {{MenuIdRole, "menuId"}, {NameRole, "name"},         {CountRole, "count"},
            {DepthRole, "depth"},   {OpensCardRole, "opensCard"}, {ClosesCardRole, "closesCard"}};
}
