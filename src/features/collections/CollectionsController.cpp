#include "CollectionsController.h"

#include "app/AppModel.h"

CollectionsController::CollectionsController(QObject *parent)
    : QObject(parent)
    , m_folders(new CollectionFolderListModel(this))
{
}

CollectionsController::~CollectionsController() = default;

void CollectionsController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    m_lastScreen.reset();
    if (m_model) {
        connect(m_model, &AppModel::screenChanged, this, &CollectionsController::screenChanged);
        connect(m_model, &AppModel::collectionMenusChanged, this, &CollectionsController::foldersChanged);
        connect(m_model, &AppModel::isLoadingChanged, this, &CollectionsController::changed);
        connect(m_model, &AppModel::selectedExamBankChanged, this, &CollectionsController::changed);
    }
    Q_EMIT modelChanged();
    foldersChanged();
    screenChanged();
}

void CollectionsController::foldersChanged()
{
    m_folders->setFolders(m_model ? m_model->collectionMenus() : QList<CardMenu>{});
    Q_EMIT changed();
}

void CollectionsController::screenChanged()
{
    if (!m_model)
        return;
    const AppScreen screen = m_model->screen();
    if (m_lastScreen && *m_lastScreen == screen)
        return;
    m_lastScreen = screen;
    if (screen == AppScreen::collections)
        m_model->startLoadCollections();
}

QString CollectionsController::title() const
{
    return QStringLiteral("我的收藏 · ") + (m_model ? m_model->selectedExamBank().name : QString());
}

bool CollectionsController::showsEmptyState() const
{
    return m_model && m_model->collectionMenus().isEmpty() && !m_model->isLoading();
}

bool CollectionsController::actionsEnabled() const
{
    return m_model && !m_model->isLoading();
}

void CollectionsController::refresh()
{
    if (actionsEnabled())
        m_model->startLoadCollections();
}

void CollectionsController::back()
{
    if (m_model)
        m_model->backToHome();
}

void CollectionsController::open(int row)
{
    if (!actionsEnabled())
        return;
    if (const CardMenu *folder = m_folders->folderAt(row))
        m_model->startOpenCollection(*folder);
}
