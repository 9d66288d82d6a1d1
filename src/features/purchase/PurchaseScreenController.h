#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QCoro/QCoroTask>
#include <QtQml/qqmlregistration.h>

class TaskSleeper;

// The purchase page screen: the payment-success card with its 3-second
// return countdown, the return controls, and the membership poll that
// refreshes the model's membership every 5 seconds while the page shows and
// no valid membership is known. Both tasks belong to the screen: stop() (or
// the controller's end) cancels them at their next check.
class PurchaseScreenController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(bool showSuccessToast READ showSuccessToast NOTIFY showSuccessToastChanged)
    Q_PROPERTY(int returnSeconds READ returnSeconds NOTIFY returnSecondsChanged)
    Q_PROPERTY(QString countdownText READ countdownText NOTIFY returnSecondsChanged)

public:
    static constexpr int successSeconds = 3;
    static constexpr int pollIntervalMilliseconds = 5000;

    explicit PurchaseScreenController(QObject *parent = nullptr);
    ~PurchaseScreenController() override;

    [[nodiscard]] AppModel *model() const;
    void setModel(AppModel *model);
    [[nodiscard]] bool showSuccessToast() const { return m_showSuccessToast; }
    [[nodiscard]] int returnSeconds() const { return m_returnSeconds; }
    // "3 秒后自动返回首页" and so on.
    [[nodiscard]] QString countdownText() const;

    // The sleeper of both tasks; the system timer unless a test sets one. It
    // must outlive every task started while it is set.
    void setSleeper(TaskSleeper *sleeper);

    // The screen is shown: starts the membership poll and the countdown task
    // (which ends at once while no card is shown). Once only.
    Q_INVOKABLE void start();
    // The screen goes away: both tasks end at their next check.
    Q_INVOKABLE void stop();
    // The web bridge reported a payment: shows the card reading 3, unless
    // it is already shown.
    Q_INVOKABLE void paymentSucceeded();
    // "返回首页" and "完成并返回首页": back home, the card left alone.
    Q_INVOKABLE void returnHome();
    // "立即返回": the card goes at once, then back home.
    Q_INVOKABLE void returnNow();

    // One poll cycle: fetches the membership when the page still shows, the
    // user had none at opening and none is known for the selected bank. A
    // failed fetch is ignored.
    QCoro::Task<> pollMembershipOnce();

Q_SIGNALS:
    void modelChanged();
    void showSuccessToastChanged();
    void returnSecondsChanged();

private:
    [[nodiscard]] bool onPurchaseScreen() const;
    void setShowSuccessToast(bool value);
    void setReturnSeconds(int value);
    void closePage();
    QCoro::Task<> successCountdown(quint64 generation);
    QCoro::Task<> membershipPoll(quint64 generation);

    QPointer<AppModel> m_model;
    TaskSleeper *m_sleeper;
    bool m_showSuccessToast = false;
    int m_returnSeconds = successSeconds;
    bool m_started = false;
    bool m_stopped = false;
    // Each change of the card cancels the running countdown by moving on.
    quint64 m_countdownGeneration = 0;
    quint64 m_pollGeneration = 0;
};
