#include "models/LenientJson.h"
#include "models/QuestionKeyboardShortcuts.h"
#include "platform/KeyEventInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using Action = QuestionShortcutAction;
using Flag = KeyEventInfo::ModifierFlag;
using Bindings = QHash<QuestionShortcutAction, QString>;

Q_DECLARE_METATYPE(Bindings)
Q_DECLARE_METATYPE(std::optional<QuestionShortcutAction>)
Q_DECLARE_METATYPE(KeyEventInfo::ModifierFlags)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

QuestionKeyboardShortcuts withBindings(const Bindings &bindings, bool enabled = true)
{
    QuestionKeyboardShortcuts value;
    value.enabled = enabled;
    value.bindings = bindings;
    return value;
}

KeyEventInfo key(int code, const QString &chars, KeyEventInfo::ModifierFlags flags = {}, bool repeat = false)
{
    KeyEventInfo info;
    info.keyCode = code;
    info.modifierFlags = flags;
    info.charactersIgnoringModifiers = chars;
    info.isRepeat = repeat;
    return info;
}

} // namespace

class TestQuestionShortcuts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void actions()
    {
        const QList<Action> all = QuestionShortcutActions::allCases();
        QStringList raw;
        for (Action a : all) {
            raw.append(QuestionShortcutActions::rawValue(a));
            QCOMPARE(QuestionShortcutActions::id(a), raw.last());
            QCOMPARE(QuestionShortcutActions::fromRawValue(raw.last()), a);
        }
        QCOMPARE(raw, (QStringList{"optionA", "optionB", "optionC", "optionD", "confirm"}));
        QCOMPARE(QuestionShortcutActions::fromRawValue("OptionA"), std::nullopt);
        QCOMPARE(QuestionShortcutActions::fromRawValue("optionA "), std::nullopt);
        QCOMPARE(QuestionShortcutActions::fromRawValue(""), std::nullopt);
    }

    void defaultBindings()
    {
        const QuestionKeyboardShortcuts &d = QuestionKeyboardShortcuts::defaultValue();
        QVERIFY(d.enabled);
        QCOMPARE(d.bindings, (Bindings{{Action::optionA, "z"}, {Action::optionB, "x"}, {Action::optionC, "c"},
                                       {Action::optionD, "v"}, {Action::confirm, "return"}}));
        QCOMPARE(&QuestionKeyboardShortcuts::defaultValue(), &d); // built once
    }

    void isValid_data()
    {
        QTest::addColumn<Bindings>("bindings");
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << QuestionKeyboardShortcuts::defaultValue().bindings << true;
        QTest::newRow("empty dictionary") << Bindings{} << true;
        QTest::newRow("own distinct keys")
            << Bindings{{Action::optionA, "1"}, {Action::optionB, "2"}, {Action::optionC, "3"},
                        {Action::optionD, "4"}, {Action::confirm, "space"}}
            << true;
        QTest::newRow("B takes A's default") << Bindings{{Action::optionB, "z"}} << false;
        QTest::newRow("confirm takes D's default") << Bindings{{Action::confirm, "v"}} << false;
        QTest::newRow("swap A and B") << Bindings{{Action::optionA, "x"}, {Action::optionB, "z"}} << true;
        QTest::newRow("empty key") << Bindings{{Action::optionC, ""}} << false;
        QTest::newRow("case differs") << Bindings{{Action::optionB, "Z"}} << true;
    }

    void isValid()
    {
        QFETCH(Bindings, bindings);
        QFETCH(bool, valid);
        QCOMPARE(withBindings(bindings).isValid(), valid);
        QCOMPARE(withBindings(bindings, false).isValid(), valid); // enabled plays no part
    }

    void actionForKey_data()
    {
        QTest::addColumn<Bindings>("bindings");
        QTest::addColumn<QString>("key");
        QTest::addColumn<std::optional<QuestionShortcutAction>>("action");
        const Bindings defaults = QuestionKeyboardShortcuts::defaultValue().bindings;
        QTest::newRow("return") << defaults << "return" << std::optional(Action::confirm);
        QTest::newRow("z") << defaults << "z" << std::optional(Action::optionA);
        QTest::newRow("v") << defaults << "v" << std::optional(Action::optionD);
        QTest::newRow("upper Z") << defaults << "Z" << std::optional<Action>();
        QTest::newRow("a") << defaults << "a" << std::optional<Action>();
        QTest::newRow("empty") << defaults << "" << std::optional<Action>();
        QTest::newRow("missing entry takes default") << Bindings{{Action::optionA, "q"}} << "x"
                                                      << std::optional(Action::optionB);
        QTest::newRow("overridden default is free") << Bindings{{Action::optionA, "q"}} << "z"
                                                     << std::optional<Action>();
        QTest::newRow("duplicate: earlier action wins") << Bindings{{Action::confirm, "z"}} << "z"
                                                         << std::optional(Action::optionA);
        QTest::newRow("duplicate: later in order") << Bindings{{Action::optionD, "k"}, {Action::confirm, "k"}}
                                                    << "k" << std::optional(Action::optionD);
    }

    void actionForKey()
    {
        QFETCH(Bindings, bindings);
        QFETCH(QString, key);
        QFETCH(std::optional<QuestionShortcutAction>, action);
        QCOMPARE(withBindings(bindings).action(key), action);
        QCOMPARE(withBindings(bindings, false).action(key), action);
    }

    void jsonForm()
    {
        const QJsonObject json = QuestionKeyboardShortcuts::defaultValue().toJson();
        QCOMPARE(json.keys(), (QStringList{"bindings", "enabled"}));
        QCOMPARE(json.value("enabled"), QJsonValue(true));
        const QJsonArray pairs = json.value("bindings").toArray();
        QCOMPARE(pairs.size(), 10);
        QHash<QString, QString> seen;
        for (qsizetype i = 0; i < pairs.size(); i += 2) {
            QVERIFY(pairs.at(i).isString() && pairs.at(i + 1).isString());
            QVERIFY(!seen.contains(pairs.at(i).toString()));
            seen.insert(pairs.at(i).toString(), pairs.at(i + 1).toString());
        }
        QCOMPARE(seen, (QHash<QString, QString>{{"optionA", "z"}, {"optionB", "x"}, {"optionC", "c"},
                                                {"optionD", "v"}, {"confirm", "return"}}));

        // Only present entries are written; the stored bytes are plain JSON.
        const auto partial = withBindings({{Action::confirm, "\"/\\"}}, false);
        const QByteArray bytes = partial.toJsonData();
        const QJsonObject reparsed = QJsonDocument::fromJson(bytes).object();
        QCOMPARE(reparsed.value("enabled"), QJsonValue(false));
        QCOMPARE(reparsed.value("bindings").toArray(), (QJsonArray{"confirm", "\"/\\"}));
        QCOMPARE(QuestionKeyboardShortcuts::fromJsonData(bytes), partial);
    }

    void roundTrip_data()
    {
        QTest::addColumn<Bindings>("bindings");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("default") << QuestionKeyboardShortcuts::defaultValue().bindings << true;
        QTest::newRow("empty, disabled") << Bindings{} << false;
        QTest::newRow("invalid values still round-trip") << Bindings{{Action::optionB, "z"}, {Action::optionC, ""}}
                                                         << true;
        QTest::newRow("non-ascii") << Bindings{{Action::optionA, "é"}, {Action::optionD, "中"}} << true;
    }

    void roundTrip()
    {
        QFETCH(Bindings, bindings);
        QFETCH(bool, enabled);
        const QuestionKeyboardShortcuts value = withBindings(bindings, enabled);
        QCOMPARE(QuestionKeyboardShortcuts::fromJson(value.toJson()), value);
        QCOMPARE(QuestionKeyboardShortcuts::fromJsonData(value.toJsonData()), value);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<Bindings>("bindings");

        QTest::newRow("pairs in any order")
            << QByteArray(R"({"bindings":["confirm","space","optionA","q"],"enabled":false})") << true << false
            << Bindings{{Action::confirm, "space"}, {Action::optionA, "q"}};
        QTest::newRow("empty array") << QByteArray(R"({"enabled":true,"bindings":[]})") << true << true
                                     << Bindings{};
        QTest::newRow("later pair wins")
            << QByteArray(R"({"enabled":true,"bindings":["optionA","q","optionA","w"]})") << true << true
            << Bindings{{Action::optionA, "w"}};
        QTest::newRow("unknown members ignored")
            << QByteArray(R"({"enabled":true,"bindings":[],"extra":1})") << true << true << Bindings{};
        QTest::newRow("key may be any text")
            << QByteArray(R"({"enabled":true,"bindings":["optionB",""]})") << true << true
            << Bindings{{Action::optionB, ""}};

        const bool no = false;
        QTest::newRow("no enabled") << QByteArray(R"({"bindings":[]})") << no << no << Bindings{};
        QTest::newRow("no bindings") << QByteArray(R"({"enabled":true})") << no << no << Bindings{};
        QTest::newRow("enabled as number") << QByteArray(R"({"enabled":1,"bindings":[]})") << no << no << Bindings{};
        QTest::newRow("enabled as text") << QByteArray(R"({"enabled":"true","bindings":[]})") << no << no
                                         << Bindings{};
        QTest::newRow("enabled null") << QByteArray(R"({"enabled":null,"bindings":[]})") << no << no << Bindings{};
        QTest::newRow("bindings as object")
            << QByteArray(R"({"enabled":true,"bindings":{"optionA":"z"}})") << no << no << Bindings{};
        QTest::newRow("bindings null") << QByteArray(R"({"enabled":true,"bindings":null})") << no << no
                                       << Bindings{};
        QTest::newRow("odd length") << QByteArray(R"({"enabled":true,"bindings":["optionA","z","optionB"]})") << no
                                    << no << Bindings{};
        QTest::newRow("unknown action") << QByteArray(R"({"enabled":true,"bindings":["optionE","z"]})") << no << no
                                        << Bindings{};
        QTest::newRow("action case differs")
            << QByteArray(R"({"enabled":true,"bindings":["OptionA","z"]})") << no << no << Bindings{};
        QTest::newRow("number as key") << QByteArray(R"({"enabled":true,"bindings":["optionA",1]})") << no << no
                                       << Bindings{};
        QTest::newRow("number as action") << QByteArray(R"({"enabled":true,"bindings":[0,"z"]})") << no << no
                                          << Bindings{};
        QTest::newRow("top-level array") << QByteArray(R"([true,[]])") << no << no << Bindings{};
        QTest::newRow("not json") << QByteArray("enabled=true") << no << no << Bindings{};
        QTest::newRow("truncated") << QByteArray(R"({"enabled":true,"bindings":["optionA")") << no << no
                                   << Bindings{};
    }

    void decoding()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QFETCH(bool, enabled);
        QFETCH(Bindings, bindings);

        const auto value = QuestionKeyboardShortcuts::fromJsonData(json);
        QCOMPARE(value.has_value(), decodes);
        if (value) {
            QCOMPARE(value->enabled, enabled);
            QCOMPARE(value->bindings, bindings);
        }
        const QJsonDocument document = QJsonDocument::fromJson(json);
        if (!document.isNull() && !decodes) {
            bool threw = false;
            try {
                (void)QuestionKeyboardShortcuts::fromJson(document.isObject() ? QJsonValue(document.object())
                                                                               : QJsonValue(document.array()));
            } catch (const DecodingError &error) {
                threw = true;
                QVERIFY(!error.localizedDescription().isEmpty());
            }
            QVERIFY(threw);
        }
    }

    void identifier_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("chars");
        QTest::addColumn<KeyEventInfo::ModifierFlags>("flags");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<std::optional<QString>>("identifier");
        using F = KeyEventInfo::ModifierFlags;
        const std::optional<QString> none;
        auto id = [](const char *s) { return std::optional<QString>(QString::fromUtf8(s)); };

        QTest::newRow("return") << KeyCode::Return << "\r" << F() << false << id("return");
        QTest::newRow("keypad enter") << KeyCode::KeypadEnter << "\u0003" << F() << false << id("return");
        QTest::newRow("space") << KeyCode::Space << " " << F() << false << id("space");
        QTest::newRow("space without text") << KeyCode::Space << "" << F() << false << id("space");
        QTest::newRow("left") << KeyCode::LeftArrow << QString(QChar(0xF702)) << F() << false << id("left");
        QTest::newRow("right") << KeyCode::RightArrow << QString(QChar(0xF703)) << F() << false << id("right");
        QTest::newRow("down") << KeyCode::DownArrow << QString(QChar(0xF701)) << F() << false << id("down");
        QTest::newRow("up") << KeyCode::UpArrow << QString(QChar(0xF700)) << F() << false << id("up");
        QTest::newRow("z") << KeyCode::Z << "z" << F() << false << id("z");
        QTest::newRow("shift z") << KeyCode::Z << "Z" << F(Flag::Shift) << false << id("z");
        QTest::newRow("repeat does not matter") << KeyCode::Z << "z" << F() << true << id("z");
        QTest::newRow("digit") << KeyCode::Digit1 << "1" << F() << false << id("1");
        QTest::newRow("shifted symbol") << KeyCode::Digit1 << "!" << F(Flag::Shift) << false << id("!");
        QTest::newRow("non-latin upper") << KeyCode::Unknown << "Я" << F(Flag::Shift) << false << id("я");
        QTest::newRow("combining grapheme") << KeyCode::E << "e\u0301" << F() << false << id("e\u0301");
        QTest::newRow("astral character") << KeyCode::Unknown << "😀" << F() << false << id("😀");

        QTest::newRow("command z") << KeyCode::Z << "z" << F(Flag::Command) << false << none;
        QTest::newRow("option z") << KeyCode::Z << "z" << F(Flag::Option) << false << none;
        QTest::newRow("control z") << KeyCode::Z << "z" << F(Flag::Control) << false << none;
        QTest::newRow("function flag on a letter") << KeyCode::Z << "z" << F(Flag::Function) << false << none;
        QTest::newRow("arrow carries function flag") << KeyCode::LeftArrow << QString(QChar(0xF702))
                                                     << F(Flag::Function) << false << none;
        QTest::newRow("command return") << KeyCode::Return << "\r" << F(Flag::Command) << false << none;
        QTest::newRow("shift return") << KeyCode::Return << "\r" << F(Flag::Shift) << false << id("return");
        QTest::newRow("tab") << KeyCode::Tab << "\t" << F() << false << none;
        QTest::newRow("escape") << KeyCode::Escape << "\u001b" << F() << false << none;
        QTest::newRow("delete") << KeyCode::Delete << "\u007f" << F() << false << none;
        QTest::newRow("no characters") << KeyCode::A << "" << F() << false << none;
        QTest::newRow("two characters") << KeyCode::A << "ab" << F() << false << none;
        QTest::newRow("non-breaking space") << KeyCode::Unknown << "\u00a0" << F() << false << none;
        QTest::newRow("ideographic space") << KeyCode::Unknown << "\u3000" << F() << false << none;
        QTest::newRow("line separator") << KeyCode::Unknown << "\u2028" << F() << false << none;
        QTest::newRow("format character") << KeyCode::Unknown << "\u200b" << F() << false << none;
    }

    void identifier()
    {
        QFETCH(int, code);
        QFETCH(QString, chars);
        QFETCH(KeyEventInfo::ModifierFlags, flags);
        QFETCH(bool, repeat);
        QFETCH(std::optional<QString>, identifier);
        QCOMPARE(QuestionShortcutKey::identifier(key(code, chars, flags, repeat)), identifier);
    }

    void displayName_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("label");
        QTest::newRow("return") << "return" << "Enter";
        QTest::newRow("space") << "space" << "空格";
        QTest::newRow("left") << "left" << "←";
        QTest::newRow("right") << "right" << "→";
        QTest::newRow("down") << "down" << "↓";
        QTest::newRow("up") << "up" << "↑";
        QTest::newRow("letter") << "z" << "Z";
        QTest::newRow("digit") << "1" << "1";
        QTest::newRow("other word") << "enter" << "ENTER";
        QTest::newRow("word in other case") << "Return" << "RETURN";
        QTest::newRow("full upper-casing") << "ß" << "SS";
        QTest::newRow("cyrillic") << "я" << "Я";
        QTest::newRow("empty") << "" << "";
    }

    void displayName()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, label);
        QCOMPARE(QuestionShortcutKey::displayName(identifier), label);
    }
};

QTEST_GUILESS_MAIN(TestQuestionShortcuts)
#include "tst_questionshortcuts.moc"
