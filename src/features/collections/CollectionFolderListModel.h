#pragma once

#include "models/CardMenu.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

// The collection folder tree as the collections screen lays it out: every
// folder in tree order with its depth (children are always shown), and where
// each top-level folder's card begins and ends.
class CollectionFolderListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the collections controller")

public:
    enum Role { MenuIdRole = Qt::UserRole + 1, NameRole, CountRole, DepthRole, OpensCardRole, ClosesCardRole };

    explicit CollectionFolderListModel(QObject *parent = nullptr);

    // A new tree is one reset.
    void setFolders(const QList<CardMenu> &folders);
    // The folder a row shows; null for a row that does not exist.
    [[nodiscard]] const CardMenu *folderAt(int row) const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    struct Row
    {
        CardMenu folder;
        int depth = 0;
        bool closesCard = false;
    };
    void append(const CardMenu &folder, int depth);

    QList<Row> m_rows;
};
