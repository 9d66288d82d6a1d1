#include "MenuTreeModel.h"

#include "models/QuestionType.h"

MenuTreeModel::MenuTreeModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

MenuTreeModel::MenuTreeModel(PathFunction path, StateFunction state, QObject *parent)
    : QAbstractListModel(parent)
    , m_pathFunction(std::move(path))
    , m_stateFunction(std::move(state))
{
}

void MenuTreeModel::setMenus(const QList<CardMenu> &menus)
{
    beginResetModel();
    buildNodes(menus);
    m_rows = shownRows();
    endResetModel();
}

int MenuTreeModel::addNode(const CardMenu &menu, int depth, int parent, const QString &parentPath)
{
    const int index = int(m_nodes.size());
    Node node;
    node.menu = menu;
    node.menu.children.clear();
    node.depth = depth;
    node.parent = parent;
    node.parentPath = parentPath;
    node.hasChildren = !menu.children.isEmpty();
    m_nodes.append(std::move(node));
    if (parent >= 0)
        m_nodes[parent].children.append(index);
    return index;
}

void MenuTreeModel::buildNodes(const QList<CardMenu> &menus)
{
    m_nodes.clear();
    m_roots.clear();
    // Explicit stack, children pushed in reverse so the nodes come out in tree order.
    struct Pending
    {
        const CardMenu *menu;
        int depth;
        int parent;
    };
    QVector<Pending> stack;
    for (auto it = menus.crbegin(); it != menus.crend(); ++it)
        stack.append({&*it, 0, -1});
    while (!stack.isEmpty()) {
        const Pending pending = stack.takeLast();
        const int index = addNode(*pending.menu, pending.depth, pending.parent, QString());
        if (pending.parent < 0)
            m_roots.append(index);
        if (m_pathFunction && pending.depth == 0 && pending.menu->children.isEmpty()) {
            // The practice row of a top-level menu without children.
            const int echo = addNode(*pending.menu, 1, index, QString());
            m_nodes[echo].repeatsParent = true;
        }
        const QList<CardMenu> &children = pending.menu->children;
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            stack.append({&*it, pending.depth + 1, index});
    }
    computePaths();
}

void MenuTreeModel::computePaths()
{
    // Parents precede their children, so one pass sees every parent's path first.
    for (Node &node : m_nodes) {
        node.parentPath = node.parent >= 0 ? m_nodes.at(node.parent).path : QString();
        node.path = m_pathFunction ? m_pathFunction(node.menu, node.parentPath) : QString();
        node.expanded = storedExpansion(node);
    }
}

bool MenuTreeModel::storedExpansion(const Node &node) const
{
    if (!m_stateFunction)
        return true;
    if (node.repeatsParent || (!node.hasChildren && node.depth > 0))
        return false;
    return m_stateFunction(node.path).value_or(node.depth == 0);
}

void MenuTreeModel::refreshPaths()
{
    if (!m_pathFunction || m_nodes.isEmpty())
        return;
    // A path is a function of the context and its parent's path, so the
    // top-level paths tell whether any path changed.
    bool differs = false;
    for (int root : std::as_const(m_roots)) {
        const Node &node = m_nodes.at(root);
        if (m_pathFunction(node.menu, QString()) != node.path) {
            differs = true;
            break;
        }
    }
    if (!differs)
        return;
    beginResetModel();
    computePaths();
    m_rows = shownRows();
    endResetModel();
}

void MenuTreeModel::appendShown(int node, QVector<int> &rows) const
{
    rows.append(node);
    const Node &entry = m_nodes.at(node);
    if (!entry.expanded)
        return;
    for (int child : entry.children)
        appendShown(child, rows);
}

QVector<int> MenuTreeModel::shownRows() const
{
    QVector<int> rows;
    for (int root : m_roots)
        appendShown(root, rows);
    return rows;
}

void MenuTreeModel::refreshExpansion()
{
    if (!m_stateFunction)
        return;
    for (int node = 0; node < m_nodes.size(); ++node) {
        const bool expanded = storedExpansion(m_nodes.at(node));
        if (expanded != m_nodes.at(node).expanded)
            applyExpansion(node, expanded);
    }
}

void MenuTreeModel::applyExpansion(int node, bool expanded)
{
    const int row = int(m_rows.indexOf(node));
    if (row < 0) {
        // Hidden under a collapsed ancestor: takes effect when that opens.
        m_nodes[node].expanded = expanded;
        return;
    }
    if (expanded) {
        m_nodes[node].expanded = true;
        QVector<int> descendants;
        appendShown(node, descendants);
        descendants.removeFirst();
        if (!descendants.isEmpty()) {
            beginInsertRows(QModelIndex(), row + 1, row + int(descendants.size()));
            m_rows.insert(row + 1, descendants.size(), 0);
            std::copy(descendants.cbegin(), descendants.cend(), m_rows.begin() + row + 1);
            endInsertRows();
        }
    } else {
        const int depth = m_nodes.at(node).depth;
        int end = row + 1;
        while (end < m_rows.size() && m_nodes.at(m_rows.at(end)).depth > depth)
            ++end;
        m_nodes[node].expanded = false;
        if (end > row + 1) {
            beginRemoveRows(QModelIndex(), row + 1, end - 1);
            m_rows.remove(row + 1, end - row - 1);
            endRemoveRows();
        }
    }
    Q_EMIT dataChanged(index(row), index(row), {ExpandedRole});
}

const CardMenu *MenuTreeModel::menuAt(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return nullptr;
    return &m_nodes.at(m_rows.at(row)).menu;
}

int MenuTreeModel::rowOfPath(const QString &path) const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_nodes.at(m_rows.at(row)).path == path)
            return row;
    }
    return -1;
}

int MenuTreeModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant MenuTreeModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Node &node = m_nodes.at(m_rows.at(index.row()));
    const CardMenu &menu = node.menu;
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return menu.name;
    case MenuIdRole:
        return menu.menuId;
    case DepthRole:
        return node.depth;
    case PathRole:
        return node.path;
    case ParentPathRole:
        return node.parentPath;
    case ExpandedRole:
        return node.expanded;
    case HasChildrenRole:
        return node.hasChildren && !node.repeatsParent;
    case RepeatsParentRole:
        return node.repeatsParent;
    case CountRole:
        return menu.count;
    case UserWorkCountRole:
        return menu.userWorkCount;
    case NeedVipRole:
        return menu.needVip;
    case QuestionTypeRole:
        return QuestionTypes::rawValue(menu.questionType);
    case MenuTypeRole:
        return menu.menuType ? QVariant(*menu.menuType) : QVariant();
    case ParentIdRole:
        return menu.parentId ? QVariant(*menu.parentId) : QVariant();
    case ExamBankIdRole:
        return menu.examBankId ? QVariant(*menu.examBankId) : QVariant();
    default:
        return {};
    }
}

QHash<int, QByteArray> MenuTreeModel::roleNames() const
{
    return {
        {MenuIdRole, "menuId"},
        {NameRole, "name"},
        {DepthRole, "depth"},
        {PathRole, "path"},
        {ParentPathRole, "parentPath"},
        {ExpandedRole, "expanded"},
        {HasChildrenRole, "hasChildren"},
        {RepeatsParentRole, "repeatsParent"},
        {CountRole, "count"},
        {UserWorkCountRole, "userWorkCount"},
        {NeedVipRole, "needVip"},
        {QuestionTypeRole, "questionType"},
        {MenuTypeRole, "menuType"},
        {ParentIdRole, "parentId"},
        {ExamBankIdRole, "examBankId"},
    };
}
