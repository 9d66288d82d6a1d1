#include "AppModel.h"

#include "models/DigitText.h"
#include "networking/APIClient.h"
#include "platform/UserDefaults.h"

// Sending the SMS code and signing in. Neither refuses to start while the busy
// flag is set; both hold it while they run.

QCoro::Task<bool> AppModel::sendVerificationCode(const QString &mobileArgument)
{
    const QString mobile = DigitText::withAsciiDigits(mobileArgument);
    if (!isValidMobileNumber(mobile)) {
        setErrorMessage(QStringLiteral("请输入正确的 11 位手机号"));
        co_return false;
    }
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginLoading();

    QCoro::Task<bool> call = client().sendVerifyCode(SendVerifyCodeRequest{mobile}, m_selectedExamBank.id);
    QCoro::Task<std::optional<bool>> answerGuarded = guardedCall(std::move(call), ticket, loading);
    const std::optional<bool> answer = co_await std::move(answerGuarded);
    if (!answer)
        co_return false;
    const bool sent = *answer;
    if (sent)
        setNoticeMessage(QStringLiteral("验证码已发送"));
    endLoading(loading);
    co_return sent;
}

QCoro::Task<> AppModel::login(const QString &phoneArgument, const QString &codeArgument)
{
    const QString phone = DigitText::withAsciiDigits(phoneArgument);
    const QString code = DigitText::withAsciiDigits(codeArgument);
    if (!isValidMobileNumber(phone)) {
        setErrorMessage(QStringLiteral("请输入正确的手机号"));
        co_return;
    }
    // The trimmed code is only tested; the code goes out as typed, digits as ASCII.
    if (code.trimmed().isEmpty()) {
        setErrorMessage(QStringLiteral("请输入验证码"));
        co_return;
    }
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginLoading();

    QCoro::Task<LoginResponse> call = client().loginByVerifyCode(LoginRequest{phone, code}, m_selectedExamBank.id);
    QCoro::Task<std::optional<LoginResponse>> answerGuarded = guardedCall(std::move(call), ticket, loading);
    const std::optional<LoginResponse> answer = co_await std::move(answerGuarded);
    if (!answer)
        co_return;
    const LoginResponse reply = *answer;
    // Without a token the account could not make a single call.
    if (reply.token.isEmpty()) {
        handle(std::make_exception_ptr(APIError::missingData()));
        endLoading(loading);
        co_return;
    }

    UserDefaults &store = defaults();
    store.setValue(mobileKey, reply.mobile);
    store.setValue(lastSuccessfulLoginMobileKey, reply.mobile);
    store.setValue(tokenKey, reply.token);
    store.setValue(userIdKey, reply.id);

    try {
        co_await fetchVIPStatus();
    } catch (...) {
        // The membership is refreshed again where it matters; the login goes on.
    }
    if (!ticket.isCurrent())
        co_return;

    // A banner left from the signed-out state (an expired login, a refused
    // code) no longer holds once the account is signed in.
    setErrorMessage(std::nullopt);
    setNoticeMessage(QStringLiteral("登录成功"));
    // The home screen, now shown, loads its past papers as on every first
    // appearance; the sign-in ends with the home data.
    setScreen(AppScreen::home);
    co_await loadHome();
    if (!ticket.isCurrent())
        co_return;
    endLoading(loading);
}
