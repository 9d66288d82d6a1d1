#pragma once

#include "app/ExamBankListModel.h"
#include "app/MenuTreeModel.h"
#include "app/PracticeHistoryStore.h"
#include "app/QuestionListModel.h"
#include "app/RealExamListModel.h"
#include "models/CardMenu.h"
#include "models/Enums.h"
#include "models/ExamBank.h"
#include "models/ExamMode.h"
#include "models/HistoryReport.h"
#include "models/Material.h"
#include "models/Question.h"
#include "models/QuestionKeyboardShortcuts.h"
#include "models/QuestionModel.h"
#include "models/RealExamDetail.h"
#include "models/RealExamSummary.h"
#include "models/VIPStatusCache.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>
#include <QCoro/QCoroTask>

#include <exception>
#include <functional>
#include <optional>

class APIClient;
class Clock;
class PdfExportQuota;
class QTimer;
class SavePanel;
class UserDefaults;
struct AppModelTestProbe;
struct KeyEventInfo;

// The zoom indicator's value; two requests with the same scale differ by id.
struct ZoomFeedback
{
    QUuid id = QUuid::createUuid();
    double scale = 1.0;
    bool operator==(const ZoomFeedback &) const = default;
};

// The one observable state of the program and every user operation on it.
// Confined to the GUI thread. Every published property announces every
// assignment (objectWillChange() before the value is stored, its own NOTIFY
// signal after), also when the value does not change.
//
// Operations that talk to the service are QCoro tasks. They catch every error
// themselves and route service errors through handle(). Results that arrive
// after a logout are dropped; a bank or practice-type switch, a new loadHome()
// or a new past-paper load supersedes an earlier one, whose results are then
// dropped as well.
//
// The sections below follow the concerns of the .cpp files:
//   AppModel.cpp              start-up, restore helpers, busy flag, detached tasks
//   AppModel+Properties.cpp   the property setters and the screen side effects
//   AppModel+Appearance.cpp   transparency, brightness and ink colour
//   AppModel+Errors.cpp       handle(), clearing the account, logout
//   AppModel+Membership.cpp   membership status and the purchase hand-off
//   AppModel+Login.cpp        SMS code and sign-in
//   AppModel+Home.cpp         banks, practice type, settings, menu tree
//   AppModel+RealExams.cpp    past papers
//   AppModel+Report.cpp       the report built on the device
//   AppModel+Qml.cpp          QML-facing conversions and task starters
class AppModel : public QObject
{
    Q_OBJECT

    // Screen and banners
    Q_PROPERTY(int screen READ screenQml WRITE setScreenQml NOTIFY screenChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(bool isExportingPDF READ isExportingPDF NOTIFY isExportingPDFChanged)
    Q_PROPERTY(QString pdfExportProgress READ pdfExportProgress NOTIFY pdfExportProgressChanged)
    Q_PROPERTY(bool isWindowMaximized READ isWindowMaximized WRITE setIsWindowMaximized NOTIFY isWindowMaximizedChanged)
    Q_PROPERTY(QVariant zoomFeedback READ zoomFeedbackQml WRITE setZoomFeedbackQml NOTIFY zoomFeedbackChanged)
    Q_PROPERTY(QVariant errorMessage READ errorMessageQml WRITE setErrorMessageQml NOTIFY errorMessageChanged)
    Q_PROPERTY(QVariant noticeMessage READ noticeMessageQml WRITE setNoticeMessageQml NOTIFY noticeMessageChanged)
    Q_PROPERTY(bool hasVisitedPracticeHistory READ hasVisitedPracticeHistory NOTIFY hasVisitedPracticeHistoryChanged)
    Q_PROPERTY(bool reportFromHistory READ reportFromHistory NOTIFY reportFromHistoryChanged)
    Q_PROPERTY(PracticeHistoryStore *practiceHistory READ practiceHistory CONSTANT)

    // Home data; the lists as list models, owned by the model and fed by its setters
    Q_PROPERTY(MenuTreeModel *menuTreeModel READ menuTreeModel CONSTANT)
    Q_PROPERTY(RealExamListModel *realExamsModel READ realExamsModel CONSTANT)
    Q_PROPERTY(ExamBankListModel *examBanksModel READ examBanksModel CONSTANT)
    Q_PROPERTY(QVariantMap selectedExamBank READ selectedExamBankQml NOTIFY selectedExamBankChanged)
    Q_PROPERTY(bool isXingCeBank READ isXingCeBank NOTIFY selectedExamBankChanged)
    Q_PROPERTY(int practiceType READ practiceTypeQml NOTIFY practiceTypeChanged)
    Q_PROPERTY(QString apiEnvironment READ apiEnvironmentQml WRITE setApiEnvironmentQml NOTIFY apiEnvironmentChanged)
    Q_PROPERTY(QVariantMap menuExpansionStates READ menuExpansionStatesQml NOTIFY menuExpansionStatesChanged)
    // Announced whenever the membership cache or the selected bank changes,
    // so members-only locks clear after a purchase.
    Q_PROPERTY(bool hasCurrentExamBankVIP READ hasCurrentExamBankVIP NOTIFY hasCurrentExamBankVIPChanged)

    // Practice settings
    Q_PROPERTY(int examMode READ examModeQml NOTIFY examModeChanged)
    Q_PROPERTY(int examQuestionCount READ examQuestionCountQml NOTIFY examQuestionCountChanged)
    Q_PROPERTY(QVariantMap questionKeyboardShortcuts READ questionKeyboardShortcutsQml NOTIFY questionKeyboardShortcutsChanged)

    // Appearance
    Q_PROPERTY(double transparentAppearanceLevel READ transparentAppearanceLevel WRITE setTransparentAppearanceLevel NOTIFY transparentAppearanceLevelChanged)
    Q_PROPERTY(QString transparentInkHex READ transparentInkHex WRITE setTransparentInkHexValue NOTIFY transparentInkHexChanged)
    Q_PROPERTY(double transparentInkIntensity READ transparentInkIntensity WRITE setTransparentInkIntensityValue NOTIFY transparentInkIntensityChanged)
    Q_PROPERTY(bool studyTransparencyEnabled READ studyTransparencyEnabled WRITE setStudyTransparencyEnabled NOTIFY studyTransparencyEnabledChanged)
    Q_PROPERTY(bool hoverAutoHideEnabled READ hoverAutoHideEnabled WRITE setHoverAutoHideEnabled NOTIFY hoverAutoHideEnabledChanged)

public:
    // ---- constants ---------------------------------------------------------
    static inline const QString tokenKey = QStringLiteral("key_rav_adiror_phone_token");
    static inline const QString mobileKey = QStringLiteral("key_rav_adiror_phone_num");
    static inline const QString lastSuccessfulLoginMobileKey = QStringLiteral("last_successful_login_mobile");
    static inline const QString userIdKey = QStringLiteral("key_rav_adiror_user_id");
    static inline const QString examBankKey = QStringLiteral("exam_select_id");
    static inline const QString examBankListCacheKey = QStringLiteral("exam_bank_list");
    static inline const QString practiceTypeKey = QStringLiteral("exam_brush_type");
    static inline const QString examModeKey = QStringLiteral("exam_model_select");
    static inline const QString examQuestionCountKey = QStringLiteral("exam_model_num");
    static inline const QString questionKeyboardShortcutsKey = QStringLiteral("question_keyboard_shortcuts");
    static inline const QString vipStatusCacheKey = QStringLiteral("vip_expire_list_model");
    static inline const QString transparentAppearanceLevelKey = QStringLiteral("transparent_appearance_level");
    static inline const QString transparentInkHexKey = QStringLiteral("transparent_ink_color");
    static inline const QString transparentInkIntensityKey = QStringLiteral("transparent_ink_intensity");

    // 5, 10, … 40.
    [[nodiscard]] static const QList<qint64> &examQuestionCountOptions();

    static constexpr int inkSaveDelayMilliseconds = 250;

    // The program's model: the shared service client, the standard store and
    // the shared clock.
    explicit AppModel(QObject *parent = nullptr);
    // Tests aim the model at a client of the fake service, a temporary store
    // and a manual clock. All three must outlive the model.
    AppModel(APIClient &client, UserDefaults &defaults, Clock &clock, QObject *parent = nullptr);
    ~AppModel() override;

    // ---- state (Part of the application state and start-up) ----------------
    [[nodiscard]] AppScreen screen() const { return m_screen; }
    void setScreen(AppScreen screen);
    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    [[nodiscard]] bool isExportingPDF() const { return m_isExportingPDF; }
    void setIsExportingPDF(bool value);
    [[nodiscard]] QString pdfExportProgress() const { return m_pdfExportProgress; }
    void setPdfExportProgress(const QString &value);
    [[nodiscard]] bool isWindowMaximized() const { return m_isWindowMaximized; }
    void setIsWindowMaximized(bool value);
    [[nodiscard]] const std::optional<ZoomFeedback> &zoomFeedback() const { return m_zoomFeedback; }
    void setZoomFeedback(const std::optional<ZoomFeedback> &value);
    [[nodiscard]] const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const std::optional<QString> &value);
    [[nodiscard]] const std::optional<QString> &noticeMessage() const { return m_noticeMessage; }
    void setNoticeMessage(const std::optional<QString> &value);
    [[nodiscard]] bool hasVisitedPracticeHistory() const { return m_hasVisitedPracticeHistory; }
    void setHasVisitedPracticeHistory(bool value);
    [[nodiscard]] bool reportFromHistory() const { return m_reportFromHistory; }
    void setReportFromHistory(bool value);
    [[nodiscard]] PracticeHistoryStore *practiceHistory() const { return m_practiceHistory; }

    // ---- the lists views show ------------------------------------------------
    [[nodiscard]] ExamBankListModel *examBanksModel() const { return m_examBanksModel; }
    [[nodiscard]] MenuTreeModel *menuTreeModel() const { return m_menuTreeModel; }
    [[nodiscard]] RealExamListModel *realExamsModel() const { return m_realExamsModel; }
    [[nodiscard]] QuestionListModel *questionsModel() const { return m_questionsModel; }
    [[nodiscard]] QuestionListModel *analysisQuestionsModel() const { return m_analysisQuestionsModel; }
    [[nodiscard]] MenuTreeModel *collectionFoldersModel() const { return m_collectionFoldersModel; }

    [[nodiscard]] const QList<CardMenu> &menus() const { return m_menus; }
    void setMenus(const QList<CardMenu> &value);
    [[nodiscard]] const QList<RealExamSummary> &realExams() const { return m_realExams; }
    void setRealExams(const QList<RealExamSummary> &value);
    [[nodiscard]] const std::optional<RealExamSummary> &selectedRealExam() const { return m_selectedRealExam; }
    void setSelectedRealExam(const std::optional<RealExamSummary> &value);
    [[nodiscard]] const std::optional<RealExamDetail> &preparedRealExam() const { return m_preparedRealExam; }
    void setPreparedRealExam(const std::optional<RealExamDetail> &value);
    [[nodiscard]] const QHash<QString, bool> &menuExpansionStates() const { return m_menuExpansionStates; }
    [[nodiscard]] const QList<ExamBank> &examBanks() const { return m_examBanks; }
    [[nodiscard]] const ExamBank &selectedExamBank() const { return m_selectedExamBank; }
    void setSelectedExamBank(const ExamBank &value);
    [[nodiscard]] qint64 practiceType() const { return m_practiceType; }
    void setPracticeType(qint64 value);
    [[nodiscard]] APIEnvironment apiEnvironment() const { return m_apiEnvironment; }
    void setApiEnvironment(APIEnvironment value);
    [[nodiscard]] ExamMode examMode() const { return m_examMode; }
    void setExamMode(ExamMode value);
    [[nodiscard]] qint64 examQuestionCount() const { return m_examQuestionCount; }
    void setExamQuestionCount(qint64 value);
    [[nodiscard]] const QuestionKeyboardShortcuts &questionKeyboardShortcuts() const { return m_questionKeyboardShortcuts; }
    // Saved under its key when valid; an invalid value is published only.
    void setQuestionKeyboardShortcuts(const QuestionKeyboardShortcuts &value);

    // The open practice set
    [[nodiscard]] const QList<Question> &questions() const { return m_questions; }
    void setQuestions(const QList<Question> &value);
    [[nodiscard]] qint64 currentQuestionIndex() const { return m_currentQuestionIndex; }
    void setCurrentQuestionIndex(qint64 value);
    [[nodiscard]] const QHash<QString, QString> &answers() const { return m_answers; }
    void setAnswers(const QHash<QString, QString> &value);
    [[nodiscard]] const QSet<QString> &revealedQuestionIDs() const { return m_revealedQuestionIDs; }
    void setRevealedQuestionIDs(const QSet<QString> &value);
    [[nodiscard]] const std::optional<CardMenu> &selectedMenu() const { return m_selectedMenu; }
    void setSelectedMenu(const std::optional<CardMenu> &value);
    [[nodiscard]] const std::optional<QuestionModel> &questionModel() const { return m_questionModel; }
    void setQuestionModel(const std::optional<QuestionModel> &value);

    // Collections, report and analysis
    [[nodiscard]] const QList<CardMenu> &collectionMenus() const { return m_collectionMenus; }
    void setCollectionMenus(const QList<CardMenu> &value);
    [[nodiscard]] const QHash<QString, bool> &collectionOverrides() const { return m_collectionOverrides; }
    void setCollectionOverrides(const QHash<QString, bool> &value);
    [[nodiscard]] const QSet<QString> &collectionRequests() const { return m_collectionRequests; }
    void setCollectionRequests(const QSet<QString> &value);
    [[nodiscard]] bool analysisFromCollections() const { return m_analysisFromCollections; }
    void setAnalysisFromCollections(bool value);
    [[nodiscard]] const std::optional<HistoryReport> &report() const { return m_report; }
    void setReport(const std::optional<HistoryReport> &value);
    [[nodiscard]] const QList<Question> &analysisQuestions() const { return m_analysisQuestions; }
    void setAnalysisQuestions(const QList<Question> &value);
    [[nodiscard]] const QList<Material> &analysisMaterials() const { return m_analysisMaterials; }
    void setAnalysisMaterials(const QList<Material> &value);
    [[nodiscard]] qint64 currentAnalysisIndex() const { return m_currentAnalysisIndex; }
    void setCurrentAnalysisIndex(qint64 value);

    // Appearance
    [[nodiscard]] double transparentAppearanceLevel() const { return m_transparentAppearanceLevel; }
    void setTransparentAppearanceLevel(double value);
    [[nodiscard]] QString transparentInkHex() const { return m_transparentInkHex; }
    // Plain assignment: mirrored into the palette, not normalised, not saved.
    void setTransparentInkHexValue(const QString &value);
    [[nodiscard]] double transparentInkIntensity() const { return m_transparentInkIntensity; }
    // Plain assignment: mirrored into the palette, not clamped, not saved.
    void setTransparentInkIntensityValue(double value);
    [[nodiscard]] bool studyTransparencyEnabled() const { return m_studyTransparencyEnabled; }
    void setStudyTransparencyEnabled(bool value);
    [[nodiscard]] bool hoverAutoHideEnabled() const { return m_hoverAutoHideEnabled; }
    void setHoverAutoHideEnabled(bool value);

    // Examination of the membership cache (no setter: only the refresh and the
    // logout change it).
    [[nodiscard]] const std::optional<VIPStatusCache> &vipStatusCache() const { return m_vipStatusCache; }
    [[nodiscard]] bool hadMembershipWhenPurchaseOpened() const { return m_hadMembershipWhenPurchaseOpened; }

    // ---- computed ----------------------------------------------------------
    // The stored login token, read afresh on every use; none when empty.
    [[nodiscard]] std::optional<QString> token() const;
    Q_INVOKABLE [[nodiscard]] QString lastSuccessfulLoginMobile() const;
    [[nodiscard]] bool isXingCeBank() const;
    [[nodiscard]] bool hasCurrentExamBankVIP() const;

    // ---- restore helpers ---------------------------------------------------
    [[nodiscard]] static QList<ExamBank> restoreExamBanks(const QString &key, const UserDefaults &defaults);
    [[nodiscard]] static QList<ExamBank> restoreExamBanks(const QString &key);
    [[nodiscard]] static QuestionKeyboardShortcuts restoreQuestionKeyboardShortcuts(const QString &key,
                                                                                   const UserDefaults &defaults);
    [[nodiscard]] static QuestionKeyboardShortcuts restoreQuestionKeyboardShortcuts(const QString &key);
    [[nodiscard]] static std::optional<VIPStatusCache> restoreVIPStatusCache(const QString &key,
                                                                           const UserDefaults &defaults);
    [[nodiscard]] static std::optional<VIPStatusCache> restoreVIPStatusCache(const QString &key);

    // ---- mobile-number rule ------------------------------------------------
    // Exactly 11 characters, each an ASCII digit 0-9; neither trimmed nor converted.
    [[nodiscard]] static bool isValidMobileNumber(const QString &text);

    // ---- appearance --------------------------------------------------------
    Q_INVOKABLE void setTransparentInkHex(const QString &text);
    Q_INVOKABLE void setTransparentInkIntensity(double value);
    Q_INVOKABLE void restoreDefaultTransparentInk();
    Q_INVOKABLE void flushTransparentInkColor();
    [[nodiscard]] bool hasPendingInkSave() const;

    // ---- errors and logout -------------------------------------------------
    void clearAccountCaches(bool includeVIP);
    void resetSessionForLogin();
    // The home screen's logout: both steps above, in this order.
    Q_INVOKABLE void logout();

    // ---- membership --------------------------------------------------------
    // Throws the service error. A reply that arrives after a logout or an
    // account change is dropped without an error.
    QCoro::Task<> fetchVIPStatus();
    Q_INVOKABLE void openPurchasePage();
    QCoro::Task<> closePurchasePage();

    // ---- login -------------------------------------------------------------
    // The coroutines copy their arguments before their first suspension, so a
    // caller's temporary may go away while they wait.
    QCoro::Task<bool> sendVerificationCode(const QString &mobile);
    QCoro::Task<> login(const QString &phone, const QString &code);

    // ---- home --------------------------------------------------------------
    QCoro::Task<> loadHome();
    QCoro::Task<> selectExamBank(const ExamBank &bank);
    QCoro::Task<> selectPracticeType(qint64 type);
    // False, changing nothing, when the count is not an option or the keys are not valid.
    bool updateExamSettings(ExamMode mode, qint64 questionCount, const QuestionKeyboardShortcuts &keyboardShortcuts);
    [[nodiscard]] QString menuPath(const CardMenu &menu, const QString &parent) const;
    // Two declarations rather than a default argument, so QML can call either.
    Q_INVOKABLE void toggleMenu(const QString &path, bool defaultValue);
    Q_INVOKABLE void toggleMenu(const QString &path) { toggleMenu(path, false); }
    // Toggles a row of menuTreeModel with the default that row reads.
    Q_INVOKABLE void toggleMenuRow(int row);
    [[nodiscard]] bool isGraphicReasoningQuestion(const Question &question) const;

    // ---- past papers -------------------------------------------------------
    QCoro::Task<> loadRealExams();
    QCoro::Task<> prepareRealExam(const RealExamSummary &summary);
    QCoro::Task<> openRealExam(const RealExamSummary &summary);
    Q_INVOKABLE void startPreparedRealExam();

    // ---- QML entry points: each starts its task and returns at once --------
    Q_INVOKABLE void startSendVerificationCode(const QString &mobile);
    Q_INVOKABLE void startLogin(const QString &phone, const QString &code);
    Q_INVOKABLE void startLoadHome();
    Q_INVOKABLE void startLoadRealExams();
    // The home screen's first appearance: the home data and then the past
    // papers, once per signed-in session.
    Q_INVOKABLE void startHomeStartUp();
    [[nodiscard]] bool homeStartedThisSession() const { return m_homeStartedThisSession; }
    // The home data, then the past papers unless the home load has already
    // started them (it does when it had to replace the selected bank).
    QCoro::Task<> loadHomeThenRealExams();
    Q_INVOKABLE void startSelectExamBank(const QString &bankId);
    Q_INVOKABLE void startSelectPracticeType(int type);
    Q_INVOKABLE void startOpenRealExam(const QString &realExamId);
    Q_INVOKABLE void startClosePurchasePage();
    Q_INVOKABLE void updateExamSettingsFromQml(int mode, int questionCount, const QVariantMap &keyboardShortcuts);
    Q_INVOKABLE [[nodiscard]] QString menuPathForMenu(const QString &menuId, int questionType, const QString &parent) const;
    Q_INVOKABLE [[nodiscard]] bool isMenuExpanded(const QString &path, bool defaultValue) const;
    Q_INVOKABLE [[nodiscard]] bool isMenuExpanded(const QString &path) const { return isMenuExpanded(path, false); }
    Q_INVOKABLE void dismissErrorMessage();
    Q_INVOKABLE void dismissNoticeMessage();

    // Runs a task that nobody awaits; every error it lets through goes to handle().
    void runDetached(QCoro::Task<> task);

Q_SIGNALS:
    // Before every assignment of a published property.
    void objectWillChange();

    void screenChanged();
    void isLoadingChanged();
    void isExportingPDFChanged();
    void pdfExportProgressChanged();
    void isWindowMaximizedChanged();
    void zoomFeedbackChanged();
    void errorMessageChanged();
    void noticeMessageChanged();
    void hasVisitedPracticeHistoryChanged();
    void reportFromHistoryChanged();
    void menusChanged();
    void realExamsChanged();
    void selectedRealExamChanged();
    void preparedRealExamChanged();
    void menuExpansionStatesChanged();
    void selectedExamBankChanged();
    void practiceTypeChanged();
    void apiEnvironmentChanged();
    void examModeChanged();
    void examQuestionCountChanged();
    void questionKeyboardShortcutsChanged();
    void questionsChanged();
    void collectionMenusChanged();
    void collectionOverridesChanged();
    void collectionRequestsChanged();
    void analysisFromCollectionsChanged();
    void currentQuestionIndexChanged();
    void answersChanged();
    void reportChanged();
    void analysisQuestionsChanged();
    void analysisMaterialsChanged();
    void currentAnalysisIndexChanged();
    void transparentAppearanceLevelChanged();
    void transparentInkHexChanged();
    void transparentInkIntensityChanged();
    void revealedQuestionIDsChanged();
    void studyTransparencyEnabledChanged();
    void hoverAutoHideEnabledChanged();
    void examBanksChanged();
    void vipStatusCacheChanged();
    void hasCurrentExamBankVIPChanged();

    // The result of startSendVerificationCode().
    void verificationCodeRequestFinished(bool sent);

private:
    // ---- shared by the operation files -------------------------------------

    // Who may still apply its results: the model must exist and no logout
    // may have happened since the ticket was taken.
    struct SessionTicket
    {
        QPointer<AppModel> model;
        quint64 epoch = 0;
        [[nodiscard]] bool isCurrent() const { return model && model->m_sessionEpoch == epoch; }
    };
    [[nodiscard]] SessionTicket sessionTicket() { return SessionTicket{QPointer<AppModel>(this), m_sessionEpoch}; }

    // The busy flag is held by tokens: it is true while any token is held.
    // A logout drops every token; ending a token that is gone does nothing.
    [[nodiscard]] quint64 beginLoading();
    void endLoading(quint64 token);

    // Routes an error: unauthorized logs out, membership opens the purchase
    // page, anything else becomes errorMessage.
    void handle(const std::exception_ptr &error);

    // How an operation lets go of its busy token; null when it holds none.
    using Release = void (AppModel::*)(quint64);

    // The one guard around a service call: awaits `call` and catches every
    // error. Empty when the caller must stop: the model is gone (nothing is
    // touched), the ticket or `stillCurrent` says the caller is stale
    // (`loading` is released: a token a logout dropped is already gone), or
    // the call failed (the error goes to handle(), `loading` is released).
    // Otherwise the value, and the caller still holds `loading`. The ticket
    // is taken by value: the coroutine must not keep a reference into its
    // caller's arguments.
    template<class T>
    QCoro::Task<std::optional<T>> guardedCall(QCoro::Task<T> call, SessionTicket ticket, quint64 loading,
                                              Release release = &AppModel::endLoading,
                                              std::function<bool()> stillCurrent = {})
    {
        std::optional<T> value;
        std::exception_ptr failure;
        try {
            value = co_await std::move(call);
        } catch (...) {
            failure = std::current_exception();
        }
        if (!ticket.model)
            co_return std::nullopt;
        if (!ticket.isCurrent() || (stillCurrent && !stillCurrent())) {
            releaseLoading(release, loading);
            co_return std::nullopt;
        }
        if (failure) {
            handle(failure);
            releaseLoading(release, loading);
            co_return std::nullopt;
        }
        co_return value;
    }
    void releaseLoading(Release release, quint64 loading)
    {
        if (release)
            (this->*release)(loading);
    }
    // Checks the membership afresh before content that needs it. False when
    // the caller must stop: either `isCurrent` turned false meanwhile (nothing
    // but the busy share is touched then), or the user was turned away
    // (expired login, no network and no cached membership, or no membership:
    // purchase page). Either way `loading` was released through `release`.
    QCoro::Task<bool> passMembershipGate(std::function<bool()> isCurrent, quint64 loading,
                                         void (AppModel::*release)(quint64));

    [[nodiscard]] APIClient &client() const { return *m_client; }
    [[nodiscard]] UserDefaults &defaults() const { return *m_defaults; }
    [[nodiscard]] Clock &clock() const { return *m_clock; }

    friend struct AppModelTestProbe;

    template<class T, class U>
    void publish(T &member, U &&value, void (AppModel::*changed)())
    {
        Q_EMIT objectWillChange();
        member = std::forward<U>(value);
        Q_EMIT(this->*changed)();
    }

    void restoreAtStartUp();
    // The stored token as the client takes it: empty for none.
    [[nodiscard]] QString tokenText() const { return token().value_or(QString()); }
    void finishHomeLoad(quint64 loadingToken);
    [[nodiscard]] quint64 beginRealExamsLoad();
    void finishRealExamsLoad(quint64 loadingToken);
    void setIsLoading(bool value);
    void setMenuExpansionStates(const QHash<QString, bool> &value);
    void setExamBanks(const QList<ExamBank> &value);
    void setVipStatusCache(const std::optional<VIPStatusCache> &value);
    void updatePaletteActivity();
    void scheduleTransparentInkColorSave();
    [[nodiscard]] QString acceptedInkHex(const QString &normalized) const;

    // Membership
    QCoro::Task<> refreshMembershipAfterPurchase();

    // Home
    void applyExamBanks(const QList<ExamBank> &banks);
    [[nodiscard]] static bool menuContainsGraphicReasoning(const QList<CardMenu> &menus, const QString &targetMenuID,
                                                           bool inheritedGraphicReasoning);
    void supersedeRealExamsLoad();
    // The past-paper walk without the busy check, for the loads that belong
    // to a home load (the start-up's, a replaced bank's), which a sign-in's
    // busy flag must not turn away.
    QCoro::Task<> loadRealExamsUnchecked();

    // Past papers
    [[nodiscard]] static QList<RealExamSummary> cleanedRealExams(const QList<RealExamSummary> &entries);

    // The report built on the device for a set that the service never registered.
    [[nodiscard]] HistoryReport makeLocalReport(const QuestionModel &model, qint64 elapsed, qint64 perQuestionTime) const;

    // QML conversions
    [[nodiscard]] int screenQml() const { return int(m_screen); }
    void setScreenQml(int value);
    [[nodiscard]] QVariant zoomFeedbackQml() const;
    void setZoomFeedbackQml(const QVariant &value);
    [[nodiscard]] QVariant errorMessageQml() const;
    void setErrorMessageQml(const QVariant &value);
    [[nodiscard]] QVariant noticeMessageQml() const;
    void setNoticeMessageQml(const QVariant &value);
    [[nodiscard]] QVariantMap selectedExamBankQml() const;
    [[nodiscard]] int practiceTypeQml() const { return int(m_practiceType); }
    [[nodiscard]] QString apiEnvironmentQml() const;
    void setApiEnvironmentQml(const QString &value);
    [[nodiscard]] QVariantMap menuExpansionStatesQml() const;
    [[nodiscard]] int examModeQml() const { return int(m_examMode); }
    [[nodiscard]] int examQuestionCountQml() const { return int(m_examQuestionCount); }
    [[nodiscard]] QVariantMap questionKeyboardShortcutsQml() const;

    // ---- injected services -------------------------------------------------
    APIClient *m_client;
    UserDefaults *m_defaults;
    Clock *m_clock;

    // ---- stored properties, in the order of the state table ----------------
    AppScreen m_screen = AppScreen::login;
    bool m_isLoading = false;
    bool m_isExportingPDF = false;
    QString m_pdfExportProgress;
    bool m_isWindowMaximized = false;
    std::optional<ZoomFeedback> m_zoomFeedback;
    std::optional<QString> m_errorMessage;
    std::optional<QString> m_noticeMessage;
    bool m_hasVisitedPracticeHistory = false;
    bool m_reportFromHistory = false;
    PracticeHistoryStore *m_practiceHistory;
    std::optional<QString> m_activeHistoryRecordID; // plain
    qint64 m_resumedPracticeCostTime = 0;           // plain
    QList<CardMenu> m_menus;
    QList<RealExamSummary> m_realExams;
    std::optional<RealExamSummary> m_selectedRealExam;
    std::optional<RealExamDetail> m_preparedRealExam;
    QHash<QString, bool> m_menuExpansionStates;
    ExamBank m_selectedExamBank;
    qint64 m_practiceType = 1;
    APIEnvironment m_apiEnvironment = APIEnvironment::production;
    ExamMode m_examMode = ExamMode::practice;
    qint64 m_examQuestionCount = 5;
    QuestionKeyboardShortcuts m_questionKeyboardShortcuts;
    QList<Question> m_questions;
    QList<CardMenu> m_collectionMenus;
    QHash<QString, bool> m_collectionOverrides;
    QSet<QString> m_collectionRequests;
    bool m_analysisFromCollections = false;
    qint64 m_currentQuestionIndex = 0;
    QHash<QString, QString> m_answers;
    std::optional<HistoryReport> m_report;
    QList<Question> m_analysisQuestions;
    QList<Material> m_analysisMaterials;
    qint64 m_currentAnalysisIndex = 0;
    double m_transparentAppearanceLevel = 1.0;
    QString m_transparentInkHex;
    double m_transparentInkIntensity = 1.0;
    QSet<QString> m_revealedQuestionIDs;
    bool m_studyTransparencyEnabled = false;
    bool m_hoverAutoHideEnabled = false;
    QList<ExamBank> m_examBanks;
    std::optional<CardMenu> m_selectedMenu;
    std::optional<QuestionModel> m_questionModel;
    qint64 m_practiceStartedAtMilliseconds = 0;
    QTimer *m_inkSaveTimer; // the pending debounced ink save while active
    bool m_homeStartedThisSession = false;
    std::optional<VIPStatusCache> m_vipStatusCache;
    bool m_hadMembershipWhenPurchaseOpened = false;
    ExamBankListModel *m_examBanksModel;
    MenuTreeModel *m_menuTreeModel;
    RealExamListModel *m_realExamsModel;
    QuestionListModel *m_questionsModel;
    QuestionListModel *m_analysisQuestionsModel;
    MenuTreeModel *m_collectionFoldersModel;

    // ---- stale-result bookkeeping ------------------------------------------
    quint64 m_sessionEpoch = 0;
    quint64 m_nextLoadingToken = 1;
    QSet<quint64> m_loadingTokens;
    quint64 m_homeGeneration = 0;
    quint64 m_homeLoadingToken = 0;
    quint64 m_realExamsGeneration = 0;
    quint64 m_realExamsLoadingToken = 0; // a past-paper list or preparation
    quint64 m_bankSwitchGeneration = 0;
    quint64 m_realExamsLoadsStarted = 0; // past-paper list loads that got past the busy check

    // ==== Practice, submission, history and collections =====================
    // AppModel+Practice.cpp     opening a set, answering, moving, answer keys
    // AppModel+Submission.cpp   submission, report, analysis, back to home
    // AppModel+History.cpp      the practice-history screen's operations
    // AppModel+Collections.cpp  collection folders and the collect toggle
    // AppModel+PracticeQml.cpp  their QML entry points and conversions
    Q_PROPERTY(QuestionListModel *questionsModel READ questionsModel CONSTANT)
    Q_PROPERTY(int currentQuestionIndex READ currentQuestionIndexQml WRITE setCurrentQuestionIndexQml NOTIFY currentQuestionIndexChanged)
    Q_PROPERTY(QString selectedMenuName READ selectedMenuName NOTIFY questionsChanged)
    Q_PROPERTY(int answeredCount READ answeredCountQml NOTIFY practiceProgressChanged)
    Q_PROPERTY(int answerableQuestionCount READ answerableQuestionCountQml NOTIFY practiceProgressChanged)
    Q_PROPERTY(int currentAnswerableQuestionNumber READ currentAnswerableQuestionNumberQml NOTIFY practiceProgressChanged)
    Q_PROPERTY(QVariant report READ reportQml NOTIFY reportChanged)
    Q_PROPERTY(QuestionListModel *analysisQuestionsModel READ analysisQuestionsModel CONSTANT)
    Q_PROPERTY(int currentAnalysisIndex READ currentAnalysisIndexQml WRITE setCurrentAnalysisIndexQml NOTIFY currentAnalysisIndexChanged)
    Q_PROPERTY(bool analysisFromCollections READ analysisFromCollections NOTIFY analysisFromCollectionsChanged)
    Q_PROPERTY(MenuTreeModel *collectionFoldersModel READ collectionFoldersModel CONSTANT)
    Q_PROPERTY(QVariantMap collectionOverrides READ collectionOverridesQml NOTIFY collectionOverridesChanged)
    Q_PROPERTY(QStringList collectionRequests READ collectionRequestsQml NOTIFY collectionRequestsChanged)

public:
    // The pause before a picked single-choice answer moves on or submits.
    static constexpr int singleChoiceAdvanceMilliseconds = 160;

    // ---- the open set: derived values ----------------------------------------
    [[nodiscard]] std::optional<Question> currentQuestion() const;
    [[nodiscard]] std::optional<Question> currentAnalysisQuestion() const;
    // Never for a section introduction; an answer-type question once revealed.
    [[nodiscard]] bool isQuestionAnswered(const Question &question) const;
    [[nodiscard]] qint64 answeredCount() const;
    [[nodiscard]] qint64 answerableQuestionCount() const;
    // 0 on a section introduction, else the 1-based number of the real question.
    [[nodiscard]] qint64 currentAnswerableQuestionNumber() const;

    // ---- opening a set and answering -----------------------------------------
    QCoro::Task<> openQuestions(const CardMenu &menu);
    void chooseSingleAnswer(const QString &letter, const Question &question);
    void toggleMultipleAnswer(const QString &letter, const Question &question);
    Q_INVOKABLE bool confirmCurrentQuestion();
    Q_INVOKABLE void moveQuestion(qint64 offset);
    Q_INVOKABLE void moveAnalysis(qint64 offset);
    // Single-key answering; true when the key is used or swallowed.
    Q_INVOKABLE bool handleQuestionShortcut(const QString &key);
    // Left (123) and right (124) arrows on the question and analysis screens.
    Q_INVOKABLE bool handleQuestionNavigationKey(quint16 keyCode);
    // The panel's key handler: arrows first (without Control, Option or
    // Command), then the answer keys; auto-repeats are left to the window.
    bool handleQuestionKeyEvent(const KeyEventInfo &event);

    // ---- submission, report and analysis --------------------------------------
    QCoro::Task<> submitPractice();
    Q_INVOKABLE void showAnalysis(bool wrongOnly);
    Q_INVOKABLE void backToHome();
    [[nodiscard]] bool isSubmittingPractice() const { return m_runningSubmission != 0; }

    // ---- practice history -----------------------------------------------------
    Q_INVOKABLE void showPracticeHistory();
    QCoro::Task<> loadPracticeHistory(PracticeHistoryTab tab, bool refresh, bool nextPage);
    QCoro::Task<> openPracticeHistory(const PracticeHistoryRecord &record);
    QCoro::Task<bool> deletePracticeHistory(const QSet<QString> &ids);
    [[nodiscard]] qint64 resumedPracticeCostTime() const { return m_resumedPracticeCostTime; }
    [[nodiscard]] const std::optional<QString> &activeHistoryRecordID() const { return m_activeHistoryRecordID; }
    [[nodiscard]] qint64 practiceStartedAtMilliseconds() const { return m_practiceStartedAtMilliseconds; }
    // "+30" → 30; negative, fractional, blank or out-of-range text → 0.
    [[nodiscard]] static qint64 resumedCostTime(const QString &useTime);

    // ---- collections ------------------------------------------------------------
    // The home screen's way into the collections screen (which loads its folders when shown).
    Q_INVOKABLE void showCollections();
    QCoro::Task<> loadCollections();
    QCoro::Task<> openCollection(const CardMenu &folder);
    QCoro::Task<> toggleCollection(const Question &question);
    // The selected bank's id, ":" and the question's id.
    [[nodiscard]] QString collectionKey(const Question &question) const;
    // The confirmed override when there is one, else the question's own flag.
    [[nodiscard]] bool isCollected(const Question &question) const;

    // ---- QML entry points: look records up by id, start the task, return ------
    // The node of that row of menuTreeModel: a menu id may appear more than
    // once in a tree, a row only once.
    Q_INVOKABLE void startOpenMenuRow(int row);
    Q_INVOKABLE void chooseSingleAnswerFor(const QString &letter, const QString &questionId);
    Q_INVOKABLE void toggleMultipleAnswerFor(const QString &letter, const QString &questionId);
    Q_INVOKABLE void startSubmitPractice();
    Q_INVOKABLE void startLoadPracticeHistory(int tab, bool refresh, bool nextPage);
    Q_INVOKABLE void startOpenPracticeHistory(const QString &recordId);
    Q_INVOKABLE void startDeletePracticeHistory(const QStringList &ids);
    Q_INVOKABLE void startLoadCollections();
    void startOpenCollection(const CardMenu &folder);
    Q_INVOKABLE void startToggleCollection(const QString &questionId);
    Q_INVOKABLE [[nodiscard]] bool isQuestionCollected(const QString &questionId) const;
    Q_INVOKABLE [[nodiscard]] bool isCollectionInFlight(const QString &questionId) const;
    Q_INVOKABLE [[nodiscard]] bool isQuestionAnsweredById(const QString &questionId) const;

Q_SIGNALS:
    // Any change of the set, its answers, what is revealed or the position.
    void practiceProgressChanged();
    // The result of startDeletePracticeHistory().
    void practiceHistoryDeletionFinished(bool deleted);

private:
    // Wires the history store to the model's client and the derived counters
    // to their inputs; called once by the constructor.
    void setUpPracticeAndHistory();
    // A set was opened, resumed or dropped: forget what the last one's
    // submission left behind (a pending retry, the done mark).
    void practiceSetReplaced();
    [[nodiscard]] bool isLastQuestion() const;
    [[nodiscard]] PracticeHistoryStore::Scope currentHistoryScope() const;
    void scheduleSingleChoiceAdvance(const QString &questionId, bool submit);
    [[nodiscard]] std::optional<Question> findOpenQuestion(const QString &questionId) const;

    // QML conversions
    [[nodiscard]] static QVariantMap questionMap(const Question &question);
    [[nodiscard]] static QVariantList questionList(const QList<Question> &questions);
    [[nodiscard]] static QVariantList materialList(const QList<Material> &materials);
    [[nodiscard]] int currentQuestionIndexQml() const { return int(m_currentQuestionIndex); }
    void setCurrentQuestionIndexQml(int value);
    [[nodiscard]] QString selectedMenuName() const;
    [[nodiscard]] int answeredCountQml() const { return int(answeredCount()); }
    [[nodiscard]] int answerableQuestionCountQml() const { return int(answerableQuestionCount()); }
    [[nodiscard]] int currentAnswerableQuestionNumberQml() const { return int(currentAnswerableQuestionNumber()); }
    [[nodiscard]] QVariant reportQml() const;
    [[nodiscard]] int currentAnalysisIndexQml() const { return int(m_currentAnalysisIndex); }
    void setCurrentAnalysisIndexQml(int value);
    [[nodiscard]] QVariantMap collectionOverridesQml() const;
    [[nodiscard]] QStringList collectionRequestsQml() const;

    // Submission: one at a time; a set whose commit went through but whose
    // report failed only fetches the report on the next try.
    quint64 m_practiceSetSerial = 0;
    quint64 m_runningSubmission = 0; // id of the open set's running submission, 0 for none
    quint64 m_nextSubmissionId = 1;
    bool m_practiceSetSubmitted = false;
    std::optional<QString> m_committedExamId;
    quint64 m_submissionStateEpoch = 0;

    // Whether a collections answer requested under this token and bank still
    // belongs to what the user sees.
    [[nodiscard]] std::function<bool()> collectionsStillCurrent(const std::optional<QString> &tokenAtStart,
                                                                const QString &bankAtStart);

    // Whose collection folders collectionMenus holds: {token, bank} of the last load.
    std::optional<std::pair<std::optional<QString>, QString>> m_collectionMenusOwner;

    // ==== PDF export (AppModel+PdfExport.cpp) ===================================
public:
    // The shell hands over the save panel and the export; both outlive the model.
    void setPdfExport(SavePanel *panel, PdfExportQuota *quota);
    // Exports the open set: save panel, daily quota, rendering; ends with a
    // notice or an error message, never throws.
    QCoro::Task<> exportPracticePDF();
    // The question screen's export button.
    Q_INVOKABLE void startExportPracticePDF();

private:
    SavePanel *m_savePanel = nullptr;
    PdfExportQuota *m_pdfExportQuota = nullptr;
};
