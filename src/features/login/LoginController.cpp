#include "LoginController.h"

#include "AccountSites.h"
#include "TaskSleeper.h"
#include "app/AppModel.h"

#include <QDesktopServices>
#include <QFile>
#include <QImageReader>

using namespace std::chrono_literals;

LoginController::LoginController(QObject *parent)
    : QObject(parent)
    , m_sleeper(&TaskSleeper::system())
{
}

LoginController::~LoginController() = default;

QString LoginController::filteredDigits(const QString &text, int limit)
{
    QString digits;
    for (const QChar c : text) {
        if (digits.size() >= limit)
            break;
        // Only 0-9: the service and the model's number check take nothing else.
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    return digits;
}

AppModel *LoginController::model() const
{
    return m_model.data();
}

void LoginController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    m_model = model;
    Q_EMIT modelChanged();
}

void LoginController::setPhoneNumber(const QString &text)
{
    const QString filtered = filteredDigits(text, phoneLength);
    if (filtered == m_phoneNumber)
        return;
    m_phoneNumber = filtered;
    Q_EMIT phoneNumberChanged();
    Q_EMIT canLoginChanged();
}

void LoginController::setVerifyCode(const QString &text)
{
    const QString filtered = filteredDigits(text, codeLength);
    if (filtered == m_verifyCode)
        return;
    m_verifyCode = filtered;
    Q_EMIT verifyCodeChanged();
    Q_EMIT canLoginChanged();
}

void LoginController::setAgreeToTerms(bool value)
{
    if (value == m_agreeToTerms)
        return;
    m_agreeToTerms = value;
    Q_EMIT agreeToTermsChanged();
    Q_EMIT canLoginChanged();
}

void LoginController::toggleAgreement()
{
    setAgreeToTerms(!m_agreeToTerms);
}

void LoginController::reportFocus(bool phoneFocused, bool codeFocused)
{
    setFocusedField(phoneFocused ? Field::phone : (codeFocused ? Field::code : Field::none));
}

void LoginController::setFocusedField(Field field)
{
    if (field == m_focusedField)
        return;
    m_focusedField = field;
    Q_EMIT focusedFieldChanged();
    if (field == Field::none)
        Q_EMIT endEditing();
    else
        Q_EMIT beginEditing();
}

bool LoginController::canLogin() const
{
    return m_agreeToTerms && m_phoneNumber.size() == phoneLength && !m_verifyCode.isEmpty();
}

QString LoginController::codeButtonText() const
{
    if (m_countdownSeconds > 0)
        return QString::number(m_countdownSeconds) + QLatin1Char('s');
    return QStringLiteral("获取验证码");
}

QUrl LoginController::userAgreementUrl()
{
    return AccountSites::userAgreementUrl();
}

QUrl LoginController::privacyPolicyUrl()
{
    return AccountSites::privacyPolicyUrl();
}

QUrl LoginController::appLogoUrl()
{
    return appLogoUrl(appLogoResource);
}

QUrl LoginController::appLogoUrl(const QString &resourcePath)
{
    if (!resourcePath.startsWith(QLatin1Char(':')) || !QFile::exists(resourcePath))
        return {};
    QImageReader reader(resourcePath);
    if (!reader.canRead())
        return {};
    return QUrl(QStringLiteral("qrc") + resourcePath);
}

void LoginController::setSleeper(TaskSleeper *sleeper)
{
    m_sleeper = sleeper ? sleeper : &TaskSleeper::system();
}

void LoginController::setCountdownSeconds(int value)
{
    if (value == m_countdownSeconds)
        return;
    m_countdownSeconds = value;
    Q_EMIT countdownSecondsChanged();
}

void LoginController::appeared()
{
    if (AppModel *model = m_model.data())
        setPhoneNumber(model->lastSuccessfulLoginMobile());
}

void LoginController::requestCode()
{
    // Not awaited: the task outlives a press and, if need be, the screen.
    (void)getCode();
}

void LoginController::submitLogin()
{
    if (!canLogin())
        return;
    (void)login();
}

bool LoginController::openLink(const QUrl &address)
{
    if (!address.isValid() || address.isRelative())
        return false;
    return QDesktopServices::openUrl(address);
}

QCoro::Task<> LoginController::getCode()
{
    const QPointer<LoginController> self(this);
    const QPointer<AppModel> model(m_model.data());
    if (!model)
        co_return;

    // The model's task keeps a reference to its argument; this copy outlives it.
    const QString phone = m_phoneNumber;
    bool sent = false;
    try {
        sent = co_await model->sendVerificationCode(phone);
    } catch (...) {
        // The model reports its own failures; nothing is left to do here.
        co_return;
    }
    if (!self || !sent)
        co_return;
    setFocusedField(Field::code);
    co_await startCountdown();
}

QCoro::Task<> LoginController::startCountdown()
{
    const QPointer<LoginController> self(this);
    TaskSleeper *const sleeper = m_sleeper;
    setCountdownSeconds(resendSeconds);
    while (m_countdownSeconds > 0) {
        co_await sleeper->sleep(1s);
        if (!self)
            co_return;
        setCountdownSeconds(m_countdownSeconds - 1);
    }
}

QCoro::Task<> LoginController::login()
{
    const QPointer<AppModel> model(m_model.data());
    if (!model)
        co_return;
    const QString phone = m_phoneNumber;
    const QString code = m_verifyCode;
    try {
        co_await model->login(phone, code);
    } catch (...) {
        // The model publishes the outcome; the fields keep what was typed.
    }
}
