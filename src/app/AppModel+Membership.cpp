#include "AppModel.h"
#include "AppModelInternals.h"

#include "networking/APIClient.h"
#include "networking/TransferError.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QJsonDocument>

// Membership status per exam bank and the hand-off to the purchase page.

QCoro::Task<> AppModel::fetchVIPStatus()
{
    const SessionTicket ticket = sessionTicket();
    const std::optional<QString> tokenAtStart = token();
    QCoro::Task<VIPStatusResponse> call
        = client().getUserVipExpireTimeList(tokenAtStart.value_or(QString()), m_selectedExamBank.id);
    const VIPStatusResponse reply = co_await std::move(call);
    // A reply for an account that has since logged out or changed must not
    // become the new account's membership.
    if (!ticket.isCurrent() || token() != tokenAtStart)
        co_return;

    const VIPStatusCache cache{reply.currentTimeMilliseconds, clock().nowMilliseconds(), reply.userVipList};
    setVipStatusCache(cache);
    defaults().setValue(vipStatusCacheKey, QJsonDocument(cache.toJson()).toJson(QJsonDocument::Compact));
}

bool AppModel::hasCurrentExamBankVIP() const
{
    if (!m_vipStatusCache)
        return false;
    return m_vipStatusCache->containsValidMembership(m_selectedExamBank.id);
}

void AppModel::openPurchasePage()
{
    if (m_apiEnvironment != APIEnvironment::production) {
        setNoticeMessage(QStringLiteral("请先切换到线上环境，再打开购买页"));
        return;
    }
    m_hadMembershipWhenPurchaseOpened = hasCurrentExamBankVIP();
    setNoticeMessage(std::nullopt);
    setScreen(AppScreen::purchase);
}

QCoro::Task<> AppModel::closePurchasePage()
{
    if (m_screen != AppScreen::purchase)
        co_return;
    setScreen(AppScreen::home);
    // Not awaited: the home screen shows while the membership refreshes.
    runDetached(refreshMembershipAfterPurchase());
}

QCoro::Task<bool> AppModel::passMembershipGate(std::function<bool()> isCurrent, quint64 loading,
                                               void (AppModel::*release)(quint64))
{
    std::exception_ptr failure;
    try {
        co_await fetchVIPStatus();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!isCurrent()) {
        (this->*release)(loading);
        co_return false;
    }
    if (failure) {
        if (AppModelInternals::isUnauthorized(failure)) {
            handle(failure);
            (this->*release)(loading);
            co_return false;
        }
        // Without network the cached membership decides.
        if (!hasCurrentExamBankVIP()) {
            setErrorMessage(QStringLiteral("会员状态验证失败，请检查网络后重试"));
            (this->*release)(loading);
            co_return false;
        }
    }
    if (!hasCurrentExamBankVIP()) {
        openPurchasePage();
        (this->*release)(loading);
        co_return false;
    }
    co_return true;
}

QCoro::Task<> AppModel::refreshMembershipAfterPurchase()
{
    const SessionTicket ticket = sessionTicket();
    std::exception_ptr failure;
    try {
        co_await fetchVIPStatus();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!failure || !ticket.isCurrent())
        co_return;

    try {
        std::rethrow_exception(failure);
    } catch (const APIError &error) {
        if (error.kind() == APIError::Kind::unauthorized) {
            handle(std::make_exception_ptr(APIError::unauthorized()));
            co_return;
        }
        setErrorMessage(QStringLiteral("会员状态刷新失败，请稍后重试：") + error.localizedDescription());
    } catch (const TransferError &error) {
        if (error.isCancellation())
            co_return;
        setErrorMessage(QStringLiteral("会员状态刷新失败，请稍后重试：") + error.localizedDescription());
    } catch (const VuzoError &error) {
        setErrorMessage(QStringLiteral("会员状态刷新失败，请稍后重试：") + error.localizedDescription());
    } catch (...) {
        setErrorMessage(QStringLiteral("会员状态刷新失败，请稍后重试：") + QStringLiteral("未知错误"));
    }
}
