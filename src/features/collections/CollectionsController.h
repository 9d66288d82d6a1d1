#pragma once

#include "app/AppModel.h"
#include "CollectionFolderListModel.h"
#include "models/Enums.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>


// The collections screen: loads the folder tree each time the screen is
// entered, and forwards refresh, back and a folder press to the model.
class CollectionsController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(bool showsEmptyState READ showsEmptyState NOTIFY changed)
    Q_PROPERTY(bool actionsEnabled READ actionsEnabled NOTIFY changed)
    Q_PROPERTY(CollectionFolderListModel *folders READ folders CONSTANT)

public:
    // Nested folders indent by this much per level.
    static constexpr int indentPerLevel = 18;

    explicit CollectionsController(QObject *parent = nullptr);
    ~CollectionsController() override;

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);

    // "我的收藏 · " and the bank's name.
    [[nodiscard]] QString title() const;
    // No folders once nothing is loading; an empty list while loading shows nothing.
    [[nodiscard]] bool showsEmptyState() const;
    // Refresh and every folder row; the back button is always enabled.
    [[nodiscard]] bool actionsEnabled() const;
    [[nodiscard]] CollectionFolderListModel *folders() const { return m_folders; }

    Q_INVOKABLE void refresh();
    Q_INVOKABLE void back();
    // Any folder, parent or leaf, opens its own questions: the row's own
    // folder, whatever ids other folders share with it.
    Q_INVOKABLE void open(int row);

Q_SIGNALS:
    void modelChanged();
    void changed();

private:
    void screenChanged();
    void foldersChanged();

    QPointer<AppModel> m_model;
    CollectionFolderListModel *m_folders;
    std::optional<AppScreen> m_lastScreen;
};
