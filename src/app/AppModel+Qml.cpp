#include "AppModel.h"

#include <QCoroTimer>
#include <chrono>

#include <QVariantMap>

// What QML sees of the model besides its list models: records as plain maps,
// optionals as null, enumerations as their raw numbers; and the entry points that start an
// operation without awaiting it.

namespace {

QVariantMap bankMap(const ExamBank &bank)
{
    return QVariantMap{{QStringLiteral("id"), bank.id},
                       {QStringLiteral("name"), bank.name},
                       {QStringLiteral("isShow"), bank.isShow}};
}

QVariant optionalText(const std::optional<QString> &text)
{
    return text ? QVariant(*text) : QVariant();
}

std::optional<QString> textFromVariant(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    return value.toString();
}

} // namespace

void AppModel::setScreenQml(int value)
{
    if (value < int(AppScreen::login) || value > int(AppScreen::history))
        return;
    setScreen(AppScreen(value));
}

QVariant AppModel::zoomFeedbackQml() const
{
    if (!m_zoomFeedback)
        return {};
    return QVariantMap{{QStringLiteral("id"), m_zoomFeedback->id.toString(QUuid::WithoutBraces)},
                       {QStringLiteral("scale"), m_zoomFeedback->scale}};
}

void AppModel::setZoomFeedbackQml(const QVariant &value)
{
    // Views only dismiss the indicator; the window shell sets it from C++.
    if (value.isNull() || !value.isValid())
        setZoomFeedback(std::nullopt);
}

QVariant AppModel::errorMessageQml() const
{
    return optionalText(m_errorMessage);
}

void AppModel::setErrorMessageQml(const QVariant &value)
{
    setErrorMessage(textFromVariant(value));
}

QVariant AppModel::noticeMessageQml() const
{
    return optionalText(m_noticeMessage);
}

void AppModel::setNoticeMessageQml(const QVariant &value)
{
    setNoticeMessage(textFromVariant(value));
}

QVariantMap AppModel::selectedExamBankQml() const
{
    return bankMap(m_selectedExamBank);
}

QString AppModel::apiEnvironmentQml() const
{
    return APIEnvironments::rawValue(m_apiEnvironment);
}

void AppModel::setApiEnvironmentQml(const QString &value)
{
    if (const auto environment = APIEnvironments::fromRawValue(value))
        setApiEnvironment(*environment);
}

QVariantMap AppModel::menuExpansionStatesQml() const
{
    QVariantMap map;
    for (auto it = m_menuExpansionStates.cbegin(); it != m_menuExpansionStates.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}

QVariantMap AppModel::questionKeyboardShortcutsQml() const
{
    QVariantMap bindings;
    for (QuestionShortcutAction action : QuestionShortcutActions::allCases())
        bindings.insert(QuestionShortcutActions::rawValue(action), m_questionKeyboardShortcuts.effectiveBinding(action));
    return QVariantMap{{QStringLiteral("enabled"), m_questionKeyboardShortcuts.enabled},
                       {QStringLiteral("bindings"), bindings}};
}

// ---- entry points ---------------------------------------------------------------

namespace {
QCoro::Task<> sendCodeAndReport(QPointer<AppModel> model, QString mobile)
{
    QCoro::Task<bool> call = model->sendVerificationCode(mobile);
    const bool sent = co_await std::move(call);
    if (model)
        Q_EMIT model->verificationCodeRequestFinished(sent);
}

} // namespace

void AppModel::startSendVerificationCode(const QString &mobile)
{
    runDetached(sendCodeAndReport(QPointer<AppModel>(this), mobile));
}

void AppModel::startLogin(const QString &phone, const QString &code)
{
    runDetached(login(phone, code));
}

void AppModel::startLoadHome()
{
    runDetached(loadHome());
}

void AppModel::startLoadRealExams()
{
    runDetached(loadRealExams());
}

void AppModel::startHomeStartUp()
{
    if (m_homeStartedThisSession)
        return;
    m_homeStartedThisSession = true;
    runDetached(loadHomeThenRealExams());
}

void AppModel::startSelectExamBank(const QString &bankId)
{
    for (const ExamBank &bank : std::as_const(m_examBanks)) {
        if (bank.id == bankId) {
            runDetached(selectExamBank(bank));
            return;
        }
    }
}

void AppModel::startSelectPracticeType(int type)
{
    runDetached(selectPracticeType(type));
}

void AppModel::startOpenRealExam(const QString &realExamId)
{
    for (const RealExamSummary &exam : std::as_const(m_realExams)) {
        if (exam.id == realExamId) {
            runDetached(openRealExam(exam));
            return;
        }
    }
}

void AppModel::startClosePurchasePage()
{
    runDetached(closePurchasePage());
}

void AppModel::updateExamSettingsFromQml(int mode, int questionCount, const QVariantMap &keyboardShortcuts)
{
    const auto examMode = ExamModes::fromRawValue(mode);
    if (!examMode)
        return;
    QuestionKeyboardShortcuts shortcuts;
    shortcuts.enabled = keyboardShortcuts.value(QStringLiteral("enabled"), true).toBool();
    const QVariantMap bindings = keyboardShortcuts.value(QStringLiteral("bindings")).toMap();
    for (auto it = bindings.cbegin(); it != bindings.cend(); ++it) {
        if (const auto action = QuestionShortcutActions::fromRawValue(it.key()))
            shortcuts.bindings.insert(*action, it.value().toString());
    }
    updateExamSettings(*examMode, questionCount, shortcuts);
}

QString AppModel::menuPathForMenu(const QString &menuId, int questionType, const QString &parent) const
{
    CardMenu menu;
    menu.menuId = menuId;
    menu.questionType = QuestionTypes::fromLenientRawValue(questionType);
    return menuPath(menu, parent);
}

bool AppModel::isMenuExpanded(const QString &path, bool defaultValue) const
{
    return m_menuExpansionStates.value(path, defaultValue);
}

void AppModel::dismissErrorMessage()
{
    setErrorMessage(std::nullopt);
}

void AppModel::dismissNoticeMessage()
{
    setNoticeMessage(std::nullopt);
}
