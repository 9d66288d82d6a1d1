#include "AppModel.h"

#include "networking/APIError.h"
#include "platform/UserDefaults.h"
#include "platform/VuzoError.h"

// The one error handler of the model, and logging out: clearing the stored
// account, then resetting the in-memory session to the login screen.

namespace {
const QString genericFailureMessage = QStringLiteral("操作失败，请稍后重试");
}

void AppModel::handle(const std::exception_ptr &error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const APIError &apiError) {
        if (apiError.kind() == APIError::Kind::unauthorized) {
            clearAccountCaches(true);
            resetSessionForLogin();
            // Set after the reset, which has just cleared the banner.
            setErrorMessage(apiError.localizedDescription());
            return;
        }
        if (apiError.kind() == APIError::Kind::vipRequired) {
            openPurchasePage();
            return;
        }
        setErrorMessage(apiError.localizedDescription());
    } catch (const VuzoError &other) {
        setErrorMessage(other.localizedDescription());
    } catch (...) {
        setErrorMessage(genericFailureMessage);
    }
}

void AppModel::clearAccountCaches(bool includeVIP)
{
    UserDefaults &store = defaults();
    // The last valid number outlives the logout, for the login screen.
    if (const auto mobile = store.string(mobileKey); mobile && isValidMobileNumber(*mobile))
        store.setValue(lastSuccessfulLoginMobileKey, *mobile);

    store.remove(tokenKey);
    store.remove(mobileKey);
    store.remove(userIdKey);

    if (!includeVIP) {
        store.synchronize();
        return;
    }

    // Every key with "vip" in its name holds membership data of the account.
    const QStringList keys = store.allKeys();
    for (const QString &key : keys) {
        if (key.contains(QLatin1String("vip"), Qt::CaseInsensitive))
            store.remove(key);
    }
    setVipStatusCache(std::nullopt);
    store.synchronize();
}

void AppModel::resetSessionForLogin()
{
    // Results of everything started before this point are dropped from now on.
    ++m_sessionEpoch;
    ++m_homeGeneration;
    ++m_realExamsGeneration;
    ++m_bankSwitchGeneration;

    m_practiceHistory->reset();
    setHasVisitedPracticeHistory(false);
    setReportFromHistory(false);
    m_activeHistoryRecordID.reset();
    m_resumedPracticeCostTime = 0;
    setCollectionOverrides({});
    setCollectionMenus({});
    setAnalysisFromCollections(false);
    m_loadingTokens.clear();
    m_homeLoadingToken = 0;
    m_realExamsLoadingToken = 0;
    setIsLoading(false);
    setErrorMessage(std::nullopt);
    setMenus({});
    setRealExams({});
    setSelectedRealExam(std::nullopt);
    setPreparedRealExam(std::nullopt);
    m_selectedMenu.reset();
    m_questionModel.reset();
    setQuestions({});
    setCurrentQuestionIndex(0);
    setAnswers({});
    setRevealedQuestionIDs({});
    setReport(std::nullopt);
    setAnalysisQuestions({});
    setCurrentAnalysisIndex(0);
    setAnalysisMaterials({});
    setScreen(AppScreen::login);
}

void AppModel::logout()
{
    clearAccountCaches(true);
    resetSessionForLogin();
}
