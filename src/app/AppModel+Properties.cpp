#include "AppModel.h"

#include "app/TransparentInkPalette.h"
#include "platform/UserDefaults.h"

// The setters of the published and plain properties. Each publishes every
// assignment, equal values included; the screen and the key bindings carry
// their change actions.

// ---- screen and plain setters ----------------------------------------------------

void AppModel::setScreen(AppScreen screen)
{
    publish(m_screen, screen, &AppModel::screenChanged);
    updatePaletteActivity();
    flushTransparentInkColor();
}

void AppModel::updatePaletteActivity()
{
    TransparentInkPalette::setActive(m_studyTransparencyEnabled && m_screen != AppScreen::login
                                     && m_screen != AppScreen::purchase);
}

void AppModel::setIsExportingPDF(bool value)
{
    publish(m_isExportingPDF, value, &AppModel::isExportingPDFChanged);
}

void AppModel::setPdfExportProgress(const QString &value)
{
    publish(m_pdfExportProgress, value, &AppModel::pdfExportProgressChanged);
}

void AppModel::setIsWindowMaximized(bool value)
{
    publish(m_isWindowMaximized, value, &AppModel::isWindowMaximizedChanged);
}

void AppModel::setZoomFeedback(const std::optional<ZoomFeedback> &value)
{
    publish(m_zoomFeedback, value, &AppModel::zoomFeedbackChanged);
}

void AppModel::setErrorMessage(const std::optional<QString> &value)
{
    publish(m_errorMessage, value, &AppModel::errorMessageChanged);
}

void AppModel::setNoticeMessage(const std::optional<QString> &value)
{
    publish(m_noticeMessage, value, &AppModel::noticeMessageChanged);
}

void AppModel::setHasVisitedPracticeHistory(bool value)
{
    publish(m_hasVisitedPracticeHistory, value, &AppModel::hasVisitedPracticeHistoryChanged);
}

void AppModel::setReportFromHistory(bool value)
{
    publish(m_reportFromHistory, value, &AppModel::reportFromHistoryChanged);
}

void AppModel::setMenus(const QList<CardMenu> &value)
{
    publish(m_menus, value, &AppModel::menusChanged);
    m_menuTreeModel->setMenus(m_menus);
}

void AppModel::setRealExams(const QList<RealExamSummary> &value)
{
    publish(m_realExams, value, &AppModel::realExamsChanged);
    m_realExamsModel->setExams(m_realExams);
}

void AppModel::setSelectedRealExam(const std::optional<RealExamSummary> &value)
{
    publish(m_selectedRealExam, value, &AppModel::selectedRealExamChanged);
}

void AppModel::setPreparedRealExam(const std::optional<RealExamDetail> &value)
{
    publish(m_preparedRealExam, value, &AppModel::preparedRealExamChanged);
}

void AppModel::setMenuExpansionStates(const QHash<QString, bool> &value)
{
    publish(m_menuExpansionStates, value, &AppModel::menuExpansionStatesChanged);
    m_menuTreeModel->refreshExpansion();
}

void AppModel::setSelectedExamBank(const ExamBank &value)
{
    publish(m_selectedExamBank, value, &AppModel::selectedExamBankChanged);
    m_examBanksModel->setSelectedBank(m_selectedExamBank);
    // Menu paths and collection keys contain the bank.
    m_menuTreeModel->refreshPaths();
    m_questionsModel->refreshStates();
    m_analysisQuestionsModel->refreshStates();
}

void AppModel::setPracticeType(qint64 value)
{
    publish(m_practiceType, value, &AppModel::practiceTypeChanged);
    m_menuTreeModel->refreshPaths();
}

void AppModel::setApiEnvironment(APIEnvironment value)
{
    publish(m_apiEnvironment, value, &AppModel::apiEnvironmentChanged);
    m_menuTreeModel->refreshPaths();
}

void AppModel::setExamMode(ExamMode value)
{
    publish(m_examMode, value, &AppModel::examModeChanged);
}

void AppModel::setExamQuestionCount(qint64 value)
{
    publish(m_examQuestionCount, value, &AppModel::examQuestionCountChanged);
}

void AppModel::setQuestionKeyboardShortcuts(const QuestionKeyboardShortcuts &value)
{
    publish(m_questionKeyboardShortcuts, value, &AppModel::questionKeyboardShortcutsChanged);
    // The last valid bindings stay stored, so they come back at the next start.
    if (value.isValid())
        defaults().setValue(questionKeyboardShortcutsKey, value.toJsonData());
}

void AppModel::setQuestions(const QList<Question> &value)
{
    publish(m_questions, value, &AppModel::questionsChanged);
    m_questionsModel->setQuestions(m_questions, m_questionModel ? m_questionModel->materialsList : QList<Material>());
}

void AppModel::setCurrentQuestionIndex(qint64 value)
{
    publish(m_currentQuestionIndex, value, &AppModel::currentQuestionIndexChanged);
}

void AppModel::setAnswers(const QHash<QString, QString> &value)
{
    publish(m_answers, value, &AppModel::answersChanged);
    m_questionsModel->refreshStates();
}

void AppModel::setRevealedQuestionIDs(const QSet<QString> &value)
{
    publish(m_revealedQuestionIDs, value, &AppModel::revealedQuestionIDsChanged);
    m_questionsModel->refreshStates();
}

void AppModel::setSelectedMenu(const std::optional<CardMenu> &value)
{
    m_selectedMenu = value;
}

void AppModel::setQuestionModel(const std::optional<QuestionModel> &value)
{
    m_questionModel = value;
    m_questionsModel->setMaterials(m_questionModel ? m_questionModel->materialsList : QList<Material>());
}

void AppModel::setCollectionMenus(const QList<CardMenu> &value)
{
    publish(m_collectionMenus, value, &AppModel::collectionMenusChanged);
    m_collectionFoldersModel->setMenus(m_collectionMenus);
}

void AppModel::setCollectionOverrides(const QHash<QString, bool> &value)
{
    publish(m_collectionOverrides, value, &AppModel::collectionOverridesChanged);
    m_questionsModel->refreshStates();
    m_analysisQuestionsModel->refreshStates();
}

void AppModel::setCollectionRequests(const QSet<QString> &value)
{
    publish(m_collectionRequests, value, &AppModel::collectionRequestsChanged);
    m_questionsModel->refreshStates();
    m_analysisQuestionsModel->refreshStates();
}

void AppModel::setAnalysisFromCollections(bool value)
{
    publish(m_analysisFromCollections, value, &AppModel::analysisFromCollectionsChanged);
}

void AppModel::setReport(const std::optional<HistoryReport> &value)
{
    publish(m_report, value, &AppModel::reportChanged);
}

void AppModel::setAnalysisQuestions(const QList<Question> &value)
{
    publish(m_analysisQuestions, value, &AppModel::analysisQuestionsChanged);
    m_analysisQuestionsModel->setQuestions(m_analysisQuestions, m_analysisMaterials);
}

void AppModel::setAnalysisMaterials(const QList<Material> &value)
{
    publish(m_analysisMaterials, value, &AppModel::analysisMaterialsChanged);
    m_analysisQuestionsModel->setMaterials(m_analysisMaterials);
}

void AppModel::setCurrentAnalysisIndex(qint64 value)
{
    publish(m_currentAnalysisIndex, value, &AppModel::currentAnalysisIndexChanged);
}

void AppModel::setExamBanks(const QList<ExamBank> &value)
{
    publish(m_examBanks, value, &AppModel::examBanksChanged);
    m_examBanksModel->setBanks(m_examBanks);
}

void AppModel::setVipStatusCache(const std::optional<VIPStatusCache> &value)
{
    Q_EMIT objectWillChange();
    m_vipStatusCache = value;
    Q_EMIT vipStatusCacheChanged();
}
