#pragma once

#include "models/CardMenu.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QVector>
#include <functional>

// A menu tree flattened into the rows a view shows: every node whose
// ancestors are all expanded, in tree order, with its depth. Opening or
// closing a node inserts or removes its shown descendants; only a new tree
// (or a new key context) resets the model.
//
// The tree of the home screen takes each node's expansion from the
// application model's states, keyed by the node's menu path; a top-level menu
// without an entry counts as expanded, a deeper one as collapsed. A top-level
// menu without children shows, when expanded, one row of itself at depth 1
// (repeatsParent) so that it has a practice row too. Without a key function
// every node is shown (the collection folders).
class MenuTreeModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // The path of a menu given its parent's path.
    using PathFunction = std::function<QString(const CardMenu &menu, const QString &parentPath)>;
    // The stored expansion of a path, if any.
    using StateFunction = std::function<std::optional<bool>(const QString &path)>;

    enum Role {
        MenuIdRole = Qt::UserRole + 1,
        NameRole,
        DepthRole,
        PathRole,
        ParentPathRole,
        ExpandedRole,
        HasChildrenRole,
        RepeatsParentRole,
        CountRole,
        UserWorkCountRole,
        NeedVipRole,
        QuestionTypeRole,
        MenuTypeRole,
        ParentIdRole,
        ExamBankIdRole,
    };
    Q_ENUM(Role)

    // Every node shown, no paths.
    explicit MenuTreeModel(QObject *parent = nullptr);
    // Nodes shown as `state` says.
    MenuTreeModel(PathFunction path, StateFunction state, QObject *parent = nullptr);

    // A new tree: one reset.
    void setMenus(const QList<CardMenu> &menus);
    // Rebuilds the paths (the key context changed): one reset, only when a
    // path differs.
    void refreshPaths();
    // Applies the stored states: each node whose expansion changed announces
    // its row and inserts or removes its shown descendants.
    void refreshExpansion();

    // The menu of a row; the tree's nodes by menu id.
    [[nodiscard]] const CardMenu *menuAt(int row) const;
    [[nodiscard]] int rowOfPath(const QString &path) const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    struct Node
    {
        CardMenu menu; // without its children
        int depth = 0;
        int parent = -1;
        QVector<int> children;
        QString path;
        QString parentPath;
        bool expanded = true;
        bool repeatsParent = false;
        bool hasChildren = false;
    };

    void buildNodes(const QList<CardMenu> &menus);
    int addNode(const CardMenu &menu, int depth, int parent, const QString &parentPath);
    void computePaths();
    [[nodiscard]] bool storedExpansion(const Node &node) const;
    void appendShown(int node, QVector<int> &rows) const;
    [[nodiscard]] QVector<int> shownRows() const;
    void applyExpansion(int node, bool expanded);

    PathFunction m_pathFunction;
    StateFunction m_stateFunction;
    QVector<Node> m_nodes;
    QVector<int> m_roots;
    QVector<int> m_rows; // node index per shown row
};
