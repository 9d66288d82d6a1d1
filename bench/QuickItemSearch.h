#pragma once

// Finding items of a Qt Quick scene the way a user sees them: the visual tree
// (delegates are visual children only), by objectName or accessible name.

#include <QList>
#include <QQuickItem>
#include <QString>

#include <functional>

namespace BenchItems {

inline void collect(QQuickItem *root, QList<QQuickItem *> &out)
{
    out << root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children)
        collect(child, out);
}

inline QList<QQuickItem *> allItems(QQuickItem *root)
{
    QList<QQuickItem *> items;
    if (root)
        collect(root, items);
    return items;
}

inline QQuickItem *findItem(QQuickItem *root, const std::function<bool(QQuickItem *)> &matches)
{
    const QList<QQuickItem *> items = allItems(root);
    for (QQuickItem *item : items) {
        if (matches(item))
            return item;
    }
    return nullptr;
}

inline QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    return findItem(root, [&](QQuickItem *item) { return item->objectName() == name; });
}

} // namespace BenchItems
