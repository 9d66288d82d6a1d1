#pragma once

#include "app/AppModel.h"
#include "HistoryTabState.h"
#include "models/Enums.h"
#include "models/HistoryReport.h"
#include "models/PracticeHistoryRecord.h"
#include "models/PracticeHistoryTab.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QCoro/QCoroTask>
#include <QtQml/qqmlregistration.h>
#include <optional>


// The practice-history screen's own state and rules: edit mode, the set of
// record ids selected for deletion, the confirmation, which buttons are
// enabled, and every load the screen asks for (on creation and entry, on a
// tab change, refresh, more, retry, the footer coming into view).
//
// The screen stays built once visited, so it follows the model's screen:
// entering loads the selected tab afresh, leaving ends edit mode.
class PracticeHistoryController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(int selectedTab READ selectedTab WRITE selectTab NOTIFY stateChanged)
    Q_PROPERTY(HistoryTabState *practiceTab READ practiceTab CONSTANT)
    Q_PROPERTY(HistoryTabState *paperTab READ paperTab CONSTANT)
    Q_PROPERTY(QString title READ title NOTIFY stateChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY stateChanged)
    Q_PROPERTY(bool editing READ editing NOTIFY stateChanged)
    Q_PROPERTY(QString editButtonTitle READ editButtonTitle NOTIFY stateChanged)
    Q_PROPERTY(bool showingDeleteConfirmation READ showingDeleteConfirmation WRITE setShowingDeleteConfirmation NOTIFY stateChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectionChanged)
    Q_PROPERTY(QString selectedCountText READ selectedCountText NOTIFY selectionChanged)
    Q_PROPERTY(QString selectAllTitle READ selectAllTitle NOTIFY selectionChanged)
    Q_PROPERTY(QString confirmationMessage READ confirmationMessage NOTIFY selectionChanged)
    // Moves with every selection change; a row passes it to isSelected() so
    // that its mark follows the selection without a list crossing into QML.
    Q_PROPERTY(int selectionRevision READ selectionRevision NOTIFY selectionChanged)
    // Moves whenever the store's pages or filed reports change; a row passes
    // it to statusText() so that its binding follows those changes.
    Q_PROPERTY(int contentRevision READ contentRevision NOTIFY stateChanged)
    Q_PROPERTY(bool backEnabled READ backEnabled NOTIFY stateChanged)
    Q_PROPERTY(bool tabsEnabled READ tabsEnabled NOTIFY stateChanged)
    Q_PROPERTY(bool refreshEnabled READ refreshEnabled NOTIFY stateChanged)
    Q_PROPERTY(bool editEnabled READ editEnabled NOTIFY stateChanged)
    Q_PROPERTY(bool rowsEnabled READ rowsEnabled NOTIFY stateChanged)
    Q_PROPERTY(bool loadMoreEnabled READ loadMoreEnabled NOTIFY stateChanged)
    Q_PROPERTY(bool retryEnabled READ retryEnabled NOTIFY stateChanged)
    Q_PROPERTY(bool deleteEnabled READ deleteEnabled NOTIFY selectionChanged)

public:
    explicit PracticeHistoryController(QObject *parent = nullptr);
    ~PracticeHistoryController() override;

    [[nodiscard]] AppModel *model() const { return m_model; }
    // Taking a model on the history screen starts its load.
    void setModel(AppModel *model);
    [[nodiscard]] PracticeHistoryStore *store() const;

    [[nodiscard]] int selectedTab() const;
    // A tab button: the change handler clears the selection and reloads.
    void selectTab(int tab);
    [[nodiscard]] HistoryTabState *practiceTab() const { return m_practiceTab; }
    [[nodiscard]] HistoryTabState *paperTab() const { return m_paperTab; }
    [[nodiscard]] HistoryTabState *tabState(PracticeHistoryTab tab) const;

    [[nodiscard]] QString title() const;
    [[nodiscard]] QString subtitle() const;
    [[nodiscard]] bool editing() const { return m_editing; }
    [[nodiscard]] QString editButtonTitle() const;
    [[nodiscard]] bool showingDeleteConfirmation() const { return m_showingDeleteConfirmation; }
    void setShowingDeleteConfirmation(bool showing);

    [[nodiscard]] const QSet<QString> &selectedIDs() const { return m_selectedIDs; }
    [[nodiscard]] int selectedCount() const { return int(m_selectedIDs.size()); }
    [[nodiscard]] QString selectedCountText() const;
    // "取消全选" exactly when the selection is the set of loaded records.
    [[nodiscard]] QString selectAllTitle() const;
    [[nodiscard]] QString confirmationMessage() const;
    [[nodiscard]] int selectionRevision() const { return m_selectionRevision; }
    [[nodiscard]] int contentRevision() const { return m_contentRevision; }
    // The ids of the selected tab's loaded records.
    [[nodiscard]] QSet<QString> loadedIDs() const;

    [[nodiscard]] bool backEnabled() const;
    [[nodiscard]] bool tabsEnabled() const;
    [[nodiscard]] bool refreshEnabled() const;
    [[nodiscard]] bool editEnabled() const;
    [[nodiscard]] bool rowsEnabled() const;
    [[nodiscard]] bool loadMoreEnabled() const;
    [[nodiscard]] bool retryEnabled() const;
    [[nodiscard]] bool deleteEnabled() const;

    // "共 N 题，答对 R 道" for a completed record, figures from the filed
    // report when there is one; else "未完成 · 继续答题".
    [[nodiscard]] static QString statusText(const PracticeHistoryRecord &record, bool completed,
                                            const std::optional<HistoryReport> &report);
    Q_INVOKABLE [[nodiscard]] QString statusText(const QString &recordId) const;
    Q_INVOKABLE [[nodiscard]] QString statusText(const QString &recordId, int contentRevision) const;

    Q_INVOKABLE [[nodiscard]] bool isSelected(const QString &recordId) const;
    Q_INVOKABLE [[nodiscard]] bool isSelected(const QString &recordId, int selectionRevision) const;
    // Edit mode toggles the record's selection; otherwise the record opens.
    Q_INVOKABLE void rowClicked(const QString &recordId);
    Q_INVOKABLE void selectAll();
    Q_INVOKABLE void toggleEditing();
    Q_INVOKABLE void requestDelete();
    Q_INVOKABLE void cancelDelete();
    // Deletes the selection as it is now; on success leaves edit mode and
    // reloads the selected tab, on failure keeps everything for a retry.
    Q_INVOKABLE void confirmDelete();
    Q_INVOKABLE void back();
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void loadMore(int tab);
    // A failed first page or refresh is repeated; a failed later page is retried.
    Q_INVOKABLE void retry(int tab);

    // Also the screen's own task, for tests: resolves when the deletion and
    // its reload are done.
    QCoro::Task<bool> deleteSelection();

Q_SIGNALS:
    void modelChanged();
    void stateChanged();
    void selectionChanged();

private:
    friend class HistoryTabState;
    void screenChanged();
    void tabChanged();
    void storeChanged();
    void setEditing(bool editing);
    void setSelectedIDs(QSet<QString> ids);
    void startLoad(PracticeHistoryTab tab, bool refresh, bool nextPage);
    // Fetches the next page of a tab whose "加载更多" is in view, when due.
    void autoLoadIfDue();

    QPointer<AppModel> m_model;
    HistoryTabState *m_practiceTab;
    HistoryTabState *m_paperTab;
    bool m_editing = false;
    bool m_showingDeleteConfirmation = false;
    QSet<QString> m_selectedIDs;
    std::optional<AppScreen> m_lastScreen;
    std::optional<PracticeHistoryTab> m_lastTab;
    bool m_autoLoading = false;
    int m_contentRevision = 0;
    int m_selectionRevision = 0;
};
