#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QCoro/QCoroTask>
#include <QtQml/qqmlregistration.h>

class TaskSleeper;

// The login screen's form: the two filtered inputs, the agreement tick, the
// login condition, the get-code task with its 60-second resend countdown,
// the login task and the focus reports. The view binds to it and forwards
// the user's actions; the model does the requests, checks and messages.
//
// Tasks started here are not tied to the screen: they run to their end, but
// stop touching this object once it is gone.
class LoginController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(QString phoneNumber READ phoneNumber WRITE setPhoneNumber NOTIFY phoneNumberChanged)
    Q_PROPERTY(QString verifyCode READ verifyCode WRITE setVerifyCode NOTIFY verifyCodeChanged)
    Q_PROPERTY(bool agreeToTerms READ agreeToTerms WRITE setAgreeToTerms NOTIFY agreeToTermsChanged)
    Q_PROPERTY(int countdownSeconds READ countdownSeconds NOTIFY countdownSecondsChanged)
    Q_PROPERTY(Field focusedField READ focusedField WRITE setFocusedField NOTIFY focusedFieldChanged)
    Q_PROPERTY(bool codeFieldFocused READ codeFieldFocused NOTIFY focusedFieldChanged)
    Q_PROPERTY(bool canLogin READ canLogin NOTIFY canLoginChanged)
    Q_PROPERTY(bool codeButtonEnabled READ codeButtonEnabled NOTIFY countdownSecondsChanged)
    Q_PROPERTY(QString codeButtonText READ codeButtonText NOTIFY countdownSecondsChanged)
    Q_PROPERTY(QUrl userAgreementUrl READ userAgreementUrl CONSTANT)
    Q_PROPERTY(QUrl privacyPolicyUrl READ privacyPolicyUrl CONSTANT)
    Q_PROPERTY(QUrl appLogoUrl READ appLogoUrl CONSTANT)

public:
    // Which text field has the keyboard focus; none when neither has.
    enum class Field { none, phone, code };
    Q_ENUM(Field)

    static constexpr int phoneLength = 11;
    static constexpr int codeLength = 8;
    static constexpr int resendSeconds = 60;
    static inline const QString appLogoResource = QStringLiteral(":/vuzo/appicon/AppIcon.png");

    explicit LoginController(QObject *parent = nullptr);
    ~LoginController() override;

    // The first limit characters of text that are ASCII digits 0-9, in order.
    // Every other character (letters, spaces, signs, other numerals) is dropped.
    [[nodiscard]] static QString filteredDigits(const QString &text, int limit);

    [[nodiscard]] AppModel *model() const;
    void setModel(AppModel *model);

    [[nodiscard]] QString phoneNumber() const { return m_phoneNumber; }
    // Stores the filtered text; an unchanged result announces nothing.
    void setPhoneNumber(const QString &text);
    [[nodiscard]] QString verifyCode() const { return m_verifyCode; }
    void setVerifyCode(const QString &text);
    [[nodiscard]] bool agreeToTerms() const { return m_agreeToTerms; }
    void setAgreeToTerms(bool value);
    [[nodiscard]] int countdownSeconds() const { return m_countdownSeconds; }
    [[nodiscard]] Field focusedField() const { return m_focusedField; }
    // A change reports the editing state: none ends it, a field begins it.
    void setFocusedField(Field field);
    [[nodiscard]] bool codeFieldFocused() const { return m_focusedField == Field::code; }

    // Ticked, 11 characters of phone number and a code that is not empty.
    [[nodiscard]] bool canLogin() const;
    [[nodiscard]] bool codeButtonEnabled() const { return m_countdownSeconds <= 0; }
    // "59s" while counting, else "获取验证码".
    [[nodiscard]] QString codeButtonText() const;
    [[nodiscard]] static QUrl userAgreementUrl();
    [[nodiscard]] static QUrl privacyPolicyUrl();
    // The program icon for the logo tile; empty when the resource is missing
    // or does not read as an image (the tile then shows a symbol).
    [[nodiscard]] static QUrl appLogoUrl();
    [[nodiscard]] static QUrl appLogoUrl(const QString &resourcePath);

    // The sleeper of the countdown; the system timer unless a test sets one.
    // It must outlive every countdown started while it is set.
    void setSleeper(TaskSleeper *sleeper);

    // The screen appeared: the phone field takes the last signed-in number.
    Q_INVOKABLE void appeared();
    // The get-code button: starts getCode() without waiting for it.
    Q_INVOKABLE void requestCode();
    // The login button: starts login() without waiting for it. Nothing
    // happens while canLogin is false.
    Q_INVOKABLE void submitLogin();
    Q_INVOKABLE void toggleAgreement();
    // The view's focus, read after it has settled: the phone field wins.
    Q_INVOKABLE void reportFocus(bool phoneFocused, bool codeFocused);
    // Opens an agreement page in the default browser; false when the
    // address does not parse or nothing could open it.
    Q_INVOKABLE bool openLink(const QUrl &address);

    // Asks the model for a code for the current number; on success moves the
    // focus to the code field and runs the countdown.
    QCoro::Task<> getCode();
    // Counts countdownSeconds from 60 down to 0, one step per second.
    QCoro::Task<> startCountdown();
    // Signs in with the current number and code.
    QCoro::Task<> login();

Q_SIGNALS:
    void modelChanged();
    void phoneNumberChanged();
    void verifyCodeChanged();
    void agreeToTermsChanged();
    void countdownSecondsChanged();
    void focusedFieldChanged();
    void canLoginChanged();
    // A text field gained the focus, or the focus moved between them.
    void beginEditing();
    // The focus left both fields.
    void endEditing();

private:
    void setCountdownSeconds(int value);

    QPointer<AppModel> m_model;
    TaskSleeper *m_sleeper;
    QString m_phoneNumber;
    QString m_verifyCode;
    bool m_agreeToTerms = true;
    int m_countdownSeconds = 0;
    Field m_focusedField = Field::none;
};
