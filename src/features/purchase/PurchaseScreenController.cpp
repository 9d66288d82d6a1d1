#include "PurchaseScreenController.h"

#include "TaskSleeper.h"
#include "app/AppModel.h"

using namespace std::chrono_literals;

PurchaseScreenController::PurchaseScreenController(QObject *parent)
    : QObject(parent)
    , m_sleeper(&TaskSleeper::system())
{
}

PurchaseScreenController::~PurchaseScreenController() = default;

AppModel *PurchaseScreenController::model() const
{
    return m_model.data();
}

void PurchaseScreenController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    m_model = model;
    Q_EMIT modelChanged();
}

bool PurchaseScreenController::onPurchaseScreen() const
{
    const AppModel *model = m_model.data();
    return model && model->screen() == AppScreen::purchase;
}

QString PurchaseScreenController::countdownText() const
{
    return QString::number(m_returnSeconds) + QStringLiteral(" 秒后自动返回首页");
}

void PurchaseScreenController::setSleeper(TaskSleeper *sleeper)
{
    m_sleeper = sleeper ? sleeper : &TaskSleeper::system();
}

void PurchaseScreenController::setShowSuccessToast(bool value)
{
    if (value == m_showSuccessToast)
        return;
    m_showSuccessToast = value;
    Q_EMIT showSuccessToastChanged();
    // The countdown follows the card: every change replaces the running one.
    const quint64 generation = ++m_countdownGeneration;
    if (m_started && !m_stopped)
        (void)successCountdown(generation);
}

void PurchaseScreenController::setReturnSeconds(int value)
{
    if (value == m_returnSeconds)
        return;
    m_returnSeconds = value;
    Q_EMIT returnSecondsChanged();
}

void PurchaseScreenController::start()
{
    if (m_started || m_stopped)
        return;
    m_started = true;
    (void)successCountdown(++m_countdownGeneration);
    (void)membershipPoll(++m_pollGeneration);
}

void PurchaseScreenController::stop()
{
    m_stopped = true;
    ++m_countdownGeneration;
    ++m_pollGeneration;
}

void PurchaseScreenController::paymentSucceeded()
{
    if (m_showSuccessToast)
        return;
    setReturnSeconds(successSeconds);
    setShowSuccessToast(true);
}

void PurchaseScreenController::returnHome()
{
    closePage();
}

void PurchaseScreenController::returnNow()
{
    setShowSuccessToast(false);
    closePage();
}

void PurchaseScreenController::closePage()
{
    // The model ignores a second close: the screen is no longer the purchase page.
    if (AppModel *model = m_model.data())
        model->startClosePurchasePage();
}

QCoro::Task<> PurchaseScreenController::successCountdown(quint64 generation)
{
    const QPointer<PurchaseScreenController> self(this);
    if (!m_showSuccessToast)
        co_return;
    TaskSleeper *const sleeper = m_sleeper;
    for (int seconds = successSeconds; seconds >= 1; --seconds) {
        setReturnSeconds(seconds);
        co_await sleeper->sleep(1s);
        if (!self || m_stopped || m_countdownGeneration != generation)
            co_return;
        if (!onPurchaseScreen())
            co_return;
    }
    const QPointer<AppModel> model(m_model.data());
    if (model)
        co_await model->closePurchasePage();
}

QCoro::Task<> PurchaseScreenController::membershipPoll(quint64 generation)
{
    const QPointer<PurchaseScreenController> self(this);
    TaskSleeper *const sleeper = m_sleeper;
    while (true) {
        if (!self || m_stopped || m_pollGeneration != generation || !onPurchaseScreen())
            co_return;
        co_await sleeper->sleep(std::chrono::milliseconds(pollIntervalMilliseconds));
        if (!self || m_stopped || m_pollGeneration != generation)
            co_return;
        co_await pollMembershipOnce();
    }
}

QCoro::Task<> PurchaseScreenController::pollMembershipOnce()
{
    const QPointer<AppModel> model(m_model.data());
    if (!model || model->screen() != AppScreen::purchase || model->hadMembershipWhenPurchaseOpened()
        || model->hasCurrentExamBankVIP())
        co_return;
    try {
        co_await model->fetchVIPStatus();
    } catch (...) {
        // Offline or refused: the next cycle tries again.
    }
}
