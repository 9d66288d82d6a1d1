#include "AppModel.h"

#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"
#include "models/DigitText.h"
#include "models/LenientJson.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QJsonDocument>
#include <QTimer>

#include <cmath>
#include <functional>

namespace {

// A stored value counts as a number only when it was stored as one; text that
// looks like a number does not.
std::optional<double> storedNumber(const UserDefaults &defaults, const QString &key)
{
    const QVariant value = defaults.object(key);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt: {
        const double number = value.toDouble();
        // A stored NaN or infinity is as good as no value.
        if (!std::isfinite(number))
            return std::nullopt;
        return number;
    }
    default:
        return std::nullopt;
    }
}

bool storedBoolean(const UserDefaults &defaults, const QString &key)
{
    const QVariant value = defaults.object(key);
    return value.typeId() == QMetaType::Bool && value.toBool();
}

QHash<QString, bool> storedExpansionStates(const UserDefaults &defaults)
{
    const auto dictionary = defaults.dictionary(QStringLiteral("home_menu_expansion"));
    if (!dictionary)
        return {};
    QHash<QString, bool> states;
    states.reserve(dictionary->size());
    for (auto it = dictionary->cbegin(); it != dictionary->cend(); ++it) {
        if (it.value().typeId() != QMetaType::Bool)
            return {}; // one foreign value spoils the whole dictionary
        states.insert(it.key(), it.value().toBool());
    }
    return states;
}

} // namespace

const QList<qint64> &AppModel::examQuestionCountOptions()
{
    static const QList<qint64> options = [] {
        QList<qint64> list;
        for (qint64 n = 5; n <= 40; n += 5)
            list.append(n);
        return list;
    }();
    return options;
}

AppModel::AppModel(QObject *parent)
    : AppModel(APIClient::shared(), UserDefaults::standard(), Clock::shared(), parent)
{
}

AppModel::AppModel(APIClient &client, UserDefaults &defaults, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_client(&client)
    , m_defaults(&defaults)
    , m_clock(&clock)
    , m_practiceHistory(new PracticeHistoryStore(this))
    , m_inkSaveTimer(new QTimer(this))
    , m_examBanksModel(new ExamBankListModel(this))
    , m_menuTreeModel(new MenuTreeModel(
          [this](const CardMenu &menu, const QString &parentPath) { return menuPath(menu, parentPath); },
          [this](const QString &path) -> std::optional<bool> {
              const auto it = m_menuExpansionStates.constFind(path);
              return it == m_menuExpansionStates.cend() ? std::nullopt : std::optional<bool>(*it);
          },
          this))
    , m_realExamsModel(new RealExamListModel(this))
    , m_questionsModel(new QuestionListModel(*this, QuestionListModel::Source::openSet, this))
    , m_analysisQuestionsModel(new QuestionListModel(*this, QuestionListModel::Source::analysis, this))
    , m_collectionFoldersModel(new MenuTreeModel(this))
{
    m_menuExpansionStates = storedExpansionStates(defaults);
    m_practiceStartedAtMilliseconds = clock.nowMilliseconds();

    m_inkSaveTimer->setSingleShot(true);
    m_inkSaveTimer->setInterval(inkSaveDelayMilliseconds);
    connect(m_inkSaveTimer, &QTimer::timeout, this, &AppModel::flushTransparentInkColor);
    connect(this, &AppModel::vipStatusCacheChanged, this, &AppModel::hasCurrentExamBankVIPChanged);
    connect(this, &AppModel::selectedExamBankChanged, this, &AppModel::hasCurrentExamBankVIPChanged);

    setUpPracticeAndHistory();
    restoreAtStartUp();
    m_examBanksModel->setBanks(m_examBanks);
    m_examBanksModel->setSelectedBank(m_selectedExamBank);
}

AppModel::~AppModel() = default;

// Start-up assigns the fields directly: nothing is published and no change
// action runs; the store is written only for the ink write-back at the end.
void AppModel::restoreAtStartUp()
{
    UserDefaults &store = defaults();

    // 1. Brightness level.
    const double level = storedNumber(store, transparentAppearanceLevelKey).value_or(1.0);
    m_transparentAppearanceLevel = std::min(1.65, std::max(0.35, level));
    TransparentAppearanceScale::setCurrentValue(m_transparentAppearanceLevel);

    // 2. Ink colour.
    const QString rawInk = store.string(transparentInkHexKey).value_or(QString());
    QString ink = QString::fromLatin1(TransparentInkPalette::defaultHex);
    if (const auto normalized = TransparentInkPalette::normalizedHex(rawInk))
        ink = acceptedInkHex(*normalized);

    // 3. Ink intensity; without a stored one, a very dark ink becomes its
    // bright counterpart at a low intensity.
    double intensity = 1.0;
    const std::optional<double> storedIntensity = storedNumber(store, transparentInkIntensityKey);
    if (storedIntensity) {
        intensity = std::min(1.0, std::max(0.1, *storedIntensity));
    } else {
        const auto hsv = TransparentInkPalette::hsv(ink);
        if (hsv.brightness < 0.15) {
            ink = TransparentInkPalette::hex(hsv.hue, hsv.saturation, 1.0);
            intensity = std::max(0.1, hsv.brightness);
        }
    }
    m_transparentInkHex = ink;
    TransparentInkPalette::setCurrentHex(ink);
    m_transparentInkIntensity = intensity;
    TransparentInkPalette::setCurrentIntensity(intensity);

    // 4.-6.
    m_studyTransparencyEnabled = storedBoolean(store, QStringLiteral("study_transparency_enabled"));
    m_hoverAutoHideEnabled = storedBoolean(store, QStringLiteral("hover_auto_hide_enabled"));
    m_apiEnvironment = APIEnvironment::production;

    // 7. The token only chooses the first screen.
    const QString storedToken = store.string(tokenKey).value_or(QString());

    // 8.-9. Banks and the selection.
    m_examBanks = restoreExamBanks(examBankListCacheKey, store);
    const QString selectedId = store.string(examBankKey).value_or(QStringLiteral("301"));
    m_selectedExamBank = ExamBank{selectedId, QStringLiteral("考试类型"), 1};
    for (const ExamBank &bank : std::as_const(m_examBanks)) {
        if (bank.id == selectedId) {
            m_selectedExamBank = bank;
            break;
        }
    }

    // 10.-14. Practice settings and the membership cache.
    m_practiceType = store.integer(practiceTypeKey) == 2 ? 2 : 1;
    m_examMode = store.integer(examModeKey) == 1 ? ExamMode::review : ExamMode::practice;
    const qint64 count = store.integer(examQuestionCountKey);
    m_examQuestionCount = examQuestionCountOptions().contains(count) ? count : 5;
    m_questionKeyboardShortcuts = restoreQuestionKeyboardShortcuts(questionKeyboardShortcutsKey, store);
    m_vipStatusCache = restoreVIPStatusCache(vipStatusCacheKey, store);

    // 15.-16.
    m_screen = storedToken.isEmpty() ? AppScreen::login : AppScreen::home;
    updatePaletteActivity();

    // 17.-18. Write back what start-up changed.
    if (ink != rawInk)
        store.setValue(transparentInkHexKey, ink);
    if (!storedIntensity || *storedIntensity != intensity)
        store.setValue(transparentInkIntensityKey, intensity);
}

// ---- restore helpers --------------------------------------------------------

QList<ExamBank> AppModel::restoreExamBanks(const QString &key, const UserDefaults &defaults)
{
    const auto data = defaults.data(key);
    if (!data)
        return {};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(*data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {};
    try {
        return decodeList<ExamBank>(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()));
    } catch (const DecodingError &) {
        return {};
    }
}

QList<ExamBank> AppModel::restoreExamBanks(const QString &key)
{
    return restoreExamBanks(key, UserDefaults::standard());
}

QuestionKeyboardShortcuts AppModel::restoreQuestionKeyboardShortcuts(const QString &key, const UserDefaults &defaults)
{
    const auto data = defaults.data(key);
    if (!data)
        return QuestionKeyboardShortcuts::defaultValue();
    const auto decoded = QuestionKeyboardShortcuts::fromJsonData(*data);
    if (!decoded || !decoded->isValid())
        return QuestionKeyboardShortcuts::defaultValue();
    return *decoded;
}

QuestionKeyboardShortcuts AppModel::restoreQuestionKeyboardShortcuts(const QString &key)
{
    return restoreQuestionKeyboardShortcuts(key, UserDefaults::standard());
}

std::optional<VIPStatusCache> AppModel::restoreVIPStatusCache(const QString &key, const UserDefaults &defaults)
{
    const auto data = defaults.data(key);
    if (!data)
        return std::nullopt;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(*data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return std::nullopt;
    try {
        return VIPStatusCache::fromJson(document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array()));
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

std::optional<VIPStatusCache> AppModel::restoreVIPStatusCache(const QString &key)
{
    return restoreVIPStatusCache(key, UserDefaults::standard());
}

// ---- computed -----------------------------------------------------------------

std::optional<QString> AppModel::token() const
{
    const auto stored = defaults().string(tokenKey);
    if (!stored || stored->isEmpty())
        return std::nullopt;
    return stored;
}

QString AppModel::lastSuccessfulLoginMobile() const
{
    if (const auto last = defaults().string(lastSuccessfulLoginMobileKey))
        return *last;
    return defaults().string(mobileKey).value_or(QString());
}

bool AppModel::isXingCeBank() const
{
    return m_selectedExamBank.name.contains(QStringLiteral("行测"))
        || m_selectedExamBank.name.contains(QStringLiteral("行政职业能力"));
}

bool AppModel::isValidMobileNumber(const QString &text)
{
    // Decimal digits of any script count (a full-width input method types
    // those); they are sent as ASCII digits.
    if (text.size() != 11)
        return false;
    for (QChar c : text) {
        if (!DigitText::asciiDigit(c))
            return false;
    }
    return true;
}

// ---- the busy flag ------------------------------------------------------------

quint64 AppModel::beginLoading()
{
    const quint64 token = m_nextLoadingToken++;
    m_loadingTokens.insert(token);
    setIsLoading(true);
    return token;
}

void AppModel::endLoading(quint64 token)
{
    if (!m_loadingTokens.remove(token))
        return;
    setIsLoading(!m_loadingTokens.isEmpty());
}

void AppModel::setIsLoading(bool value)
{
    publish(m_isLoading, value, &AppModel::isLoadingChanged);
}

// ---- detached tasks ---------------------------------------------------------------

namespace {

QCoro::Task<> guarded(QPointer<AppModel> model, QCoro::Task<> task, std::function<void(std::exception_ptr)> onError)
{
    try {
        co_await std::move(task);
    } catch (...) {
        if (model)
            onError(std::current_exception());
    }
}

} // namespace

void AppModel::runDetached(QCoro::Task<> task)
{
    // The returned task is dropped on purpose: the coroutine runs on and frees
    // itself when it ends.
    QPointer<AppModel> self(this);
    (void)guarded(self, std::move(task), [self](std::exception_ptr error) {
        if (self)
            self->handle(error);
    });
}
