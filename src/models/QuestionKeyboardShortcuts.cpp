#include "models/QuestionKeyboardShortcuts.h"

#include "models/LenientJson.h"
#include "platform/KeyEventInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTextBoundaryFinder>

namespace QuestionShortcutActions {

QList<QuestionShortcutAction> allCases()
{
    return {QuestionShortcutAction::optionA, QuestionShortcutAction::optionB, QuestionShortcutAction::optionC,
            QuestionShortcutAction::optionD, QuestionShortcutAction::confirm};
}

QString rawValue(QuestionShortcutAction action)
{
    switch (action) {
    case QuestionShortcutAction::optionA:
        return QStringLiteral("optionA");
    case QuestionShortcutAction::optionB:
        return QStringLiteral("optionB");
    case QuestionShortcutAction::optionC:
        return QStringLiteral("optionC");
    case QuestionShortcutAction::optionD:
        return QStringLiteral("optionD");
    case QuestionShortcutAction::confirm:
        return QStringLiteral("confirm");
    }
    Q_UNREACHABLE();
    return {};
}

std::optional<QuestionShortcutAction> fromRawValue(const QString &raw)
{
    for (QuestionShortcutAction action : allCases()) {
        if (rawValue(action) == raw)
            return action;
    }
    return std::nullopt;
}

} // namespace QuestionShortcutActions

const QuestionKeyboardShortcuts &QuestionKeyboardShortcuts::defaultValue()
{
    static const QuestionKeyboardShortcuts value{
        true,
        {
            {QuestionShortcutAction::optionA, QStringLiteral("z")},
            {QuestionShortcutAction::optionB, QStringLiteral("x")},
            {QuestionShortcutAction::optionC, QStringLiteral("c")},
            {QuestionShortcutAction::optionD, QStringLiteral("v")},
            {QuestionShortcutAction::confirm, QStringLiteral("return")},
        },
    };
    return value;
}

QString QuestionKeyboardShortcuts::effectiveBinding(QuestionShortcutAction action) const
{
    const auto it = bindings.constFind(action);
    if (it != bindings.constEnd())
        return it.value();
    return defaultValue().bindings.value(action);
}

bool QuestionKeyboardShortcuts::isValid() const
{
    QStringList seen;
    for (QuestionShortcutAction action : QuestionShortcutActions::allCases()) {
        const QString key = effectiveBinding(action);
        if (key.isEmpty() || seen.contains(key))
            return false;
        seen.append(key);
    }
    return true;
}

std::optional<QuestionShortcutAction> QuestionKeyboardShortcuts::action(const QString &key) const
{
    for (QuestionShortcutAction candidate : QuestionShortcutActions::allCases()) {
        if (effectiveBinding(candidate) == key)
            return candidate;
    }
    return std::nullopt;
}

QuestionKeyboardShortcuts QuestionKeyboardShortcuts::fromJson(const QJsonValue &json)
{
    const QJsonObject object = decodeObject(json);

    const QString enabledKey = QStringLiteral("enabled");
    const auto enabledIt = object.constFind(enabledKey);
    if (enabledIt == object.constEnd())
        throw DecodingError::keyNotFound(enabledKey);
    if (enabledIt->isNull())
        throw DecodingError::valueNotFound(enabledKey, QStringLiteral("布尔值"));
    if (!enabledIt->isBool())
        throw DecodingError::typeMismatch(enabledKey, QStringLiteral("布尔值"));

    const QString bindingsKey = QStringLiteral("bindings");
    const auto bindingsIt = object.constFind(bindingsKey);
    if (bindingsIt == object.constEnd())
        throw DecodingError::keyNotFound(bindingsKey);
    if (bindingsIt->isNull())
        throw DecodingError::valueNotFound(bindingsKey, QStringLiteral("数组"));
    if (!bindingsIt->isArray())
        throw DecodingError::typeMismatch(bindingsKey, QStringLiteral("数组"));

    // The bindings travel as a flat list of (action, key) pairs.
    const QJsonArray pairs = bindingsIt->toArray();
    if (pairs.size() % 2 != 0) {
        throw DecodingError::dataCorrupted(bindingsKey, QStringLiteral("键值对数量不成对"));
    }
    QuestionKeyboardShortcuts result;
    result.enabled = enabledIt->toBool();
    for (qsizetype i = 0; i < pairs.size(); i += 2) {
        const QJsonValue actionValue = pairs.at(i);
        const QJsonValue keyValue = pairs.at(i + 1);
        const QString actionPath = bindingsKey + QStringLiteral("[%1]").arg(i);
        const QString keyPath = bindingsKey + QStringLiteral("[%1]").arg(i + 1);
        if (!actionValue.isString())
            throw DecodingError::typeMismatch(actionPath, QStringLiteral("文本"));
        if (!keyValue.isString())
            throw DecodingError::typeMismatch(keyPath, QStringLiteral("文本"));
        const auto action = QuestionShortcutActions::fromRawValue(actionValue.toString());
        if (!action) {
            throw DecodingError::dataCorrupted(actionPath,
                                               QStringLiteral("未知的操作“%1”").arg(actionValue.toString()));
        }
        result.bindings.insert(*action, keyValue.toString()); // a later pair wins
    }
    return result;
}

QJsonObject QuestionKeyboardShortcuts::toJson() const
{
    // Pairs in allCases order so that the stored bytes do not change between runs.
    QJsonArray pairs;
    for (QuestionShortcutAction action : QuestionShortcutActions::allCases()) {
        const auto it = bindings.constFind(action);
        if (it == bindings.constEnd())
            continue;
        pairs.append(QuestionShortcutActions::rawValue(action));
        pairs.append(it.value());
    }
    return QJsonObject{{QStringLiteral("enabled"), enabled}, {QStringLiteral("bindings"), pairs}};
}

QByteArray QuestionKeyboardShortcuts::toJsonData() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}

std::optional<QuestionKeyboardShortcuts> QuestionKeyboardShortcuts::fromJsonData(const QByteArray &data)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    try {
        return fromJson(document.object());
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

namespace QuestionShortcutKey {

namespace {

bool isControlScalar(char32_t scalar)
{
    const QChar::Category category = QChar::category(scalar);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

bool isWhitespaceOrNewline(char32_t scalar)
{
    return QChar::isSpace(scalar);
}

bool isSingleGrapheme(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    const qsizetype firstBoundary = finder.toNextBoundary();
    return firstBoundary == text.size();
}

} // namespace

std::optional<QString> identifier(const KeyEventInfo &event)
{
    using Flag = KeyEventInfo::ModifierFlag;
    // Held command-style modifiers mean the key is not an answer key, whatever key it is.
    if (event.modifierFlags & (Flag::Control | Flag::Option | Flag::Command | Flag::Function))
        return std::nullopt;

    switch (event.keyCode) {
    case KeyCode::Return:
    case KeyCode::KeypadEnter:
        return QStringLiteral("return");
    case KeyCode::Space:
        return QStringLiteral("space");
    case KeyCode::LeftArrow:
        return QStringLiteral("left");
    case KeyCode::RightArrow:
        return QStringLiteral("right");
    case KeyCode::DownArrow:
        return QStringLiteral("down");
    case KeyCode::UpArrow:
        return QStringLiteral("up");
    default:
        break;
    }

    if (event.charactersIgnoringModifiers.isEmpty())
        return std::nullopt;
    const QString lower = event.charactersIgnoringModifiers.toLower();
    if (!isSingleGrapheme(lower))
        return std::nullopt;
    const char32_t first = lower.at(0).isHighSurrogate() && lower.size() > 1
                               ? QChar::surrogateToUcs4(lower.at(0), lower.at(1))
                               : char32_t(lower.at(0).unicode());
    if (isControlScalar(first) || isWhitespaceOrNewline(first))
        return std::nullopt;
    return lower;
}

QString displayName(const QString &identifier)
{
    if (identifier == QLatin1String("return"))
        return QStringLiteral("Enter");
    if (identifier == QLatin1String("space"))
        return QStringLiteral("空格");
    if (identifier == QLatin1String("left"))
        return QStringLiteral("←");
    if (identifier == QLatin1String("right"))
        return QStringLiteral("→");
    if (identifier == QLatin1String("down"))
        return QStringLiteral("↓");
    if (identifier == QLatin1String("up"))
        return QStringLiteral("↑");
    return identifier.toUpper();
}

} // namespace QuestionShortcutKey
