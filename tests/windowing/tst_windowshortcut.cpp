#include "ShellFakes.h"
#include "windowing/HotKeyCodec.h"
#include "windowing/WindowShortcutController.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString key = WindowShortcutController::storageKey;
}

class TestWindowShortcut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultShortcut();
    void decoding_data();
    void decoding();
    void encodingRoundTrip();
    void keysyms_data();
    void keysyms();
    void modifiers();
    void firstLaunchRegistersDefault();
    void unusableStoredValueKeepsBytes();
    void pressesToggle();
    void equalCombinationIsNoop();
    void refusedRegistration();
    void failedLaunchCanRetry();
    void successPersistsAndReloads();
    void labelOnlyChangeKeepsGrab();
    void stopReleasesEverything();
};

void TestWindowShortcut::defaultShortcut()
{
    const WindowShortcut shortcut = WindowShortcut::defaultShortcut();
    QCOMPARE(shortcut.keyCode, 6u);
    QCOMPARE(shortcut.modifiers, 0x800u);
    QCOMPARE(shortcut.label, QStringLiteral("⌥ Z"));
}

void TestWindowShortcut::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("complete") << QByteArray(R"({"keyCode":7,"modifiers":256,"label":"⌘ X"})") << true;
    QTest::newRow("extra keys are fine") << QByteArray(R"({"keyCode":7,"modifiers":256,"label":"x","z":1})") << true;
    QTest::newRow("no modifiers") << QByteArray(R"({"keyCode":7,"label":"X"})") << false;
    QTest::newRow("negative key code") << QByteArray(R"({"keyCode":-1,"modifiers":256,"label":"X"})") << false;
    QTest::newRow("beyond 32 bits") << QByteArray(R"({"keyCode":4294967296,"modifiers":0,"label":"X"})") << false;
    QTest::newRow("largest 32-bit") << QByteArray(R"({"keyCode":4294967295,"modifiers":0,"label":"X"})") << true;
    QTest::newRow("fraction") << QByteArray(R"({"keyCode":6.5,"modifiers":0,"label":"X"})") << false;
    QTest::newRow("number as text") << QByteArray(R"({"keyCode":"6","modifiers":0,"label":"X"})") << false;
    QTest::newRow("label not text") << QByteArray(R"({"keyCode":6,"modifiers":0,"label":5})") << false;
    QTest::newRow("array") << QByteArray(R"([6,2048,"Z"])") << false;
    QTest::newRow("garbage") << QByteArray("\xff\xfe{") << false;
}

void TestWindowShortcut::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(WindowShortcut::fromJson(bytes).has_value(), valid);
}

void TestWindowShortcut::encodingRoundTrip()
{
    const WindowShortcut shortcut{7, 0x100 | 0x200, QStringLiteral("⌘⇧ X")};
    const QByteArray bytes = shortcut.toJson();
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    QCOMPARE(object.keys(), (QStringList{"keyCode", "label", "modifiers"}));
    QVERIFY(bytes.contains("\"keyCode\":7"));
    QVERIFY(bytes.contains("\"modifiers\":768"));
    QCOMPARE(*WindowShortcut::fromJson(bytes), shortcut);
    QVERIFY(WindowShortcut::defaultShortcut().toJson().contains("\"modifiers\":2048"));
}

void TestWindowShortcut::keysyms_data()
{
    QTest::addColumn<quint32>("keyCode");
    QTest::addColumn<qint64>("keysym"); // -1: none
    QTest::newRow("Z") << 6u << qint64('z');
    QTest::newRow("A") << 0u << qint64('a');
    QTest::newRow("5") << 23u << qint64('5');
    QTest::newRow("=") << 24u << qint64('=');
    QTest::newRow("Return") << 36u << qint64(0xff0d);
    QTest::newRow("Space") << 49u << qint64(' ');
    QTest::newRow("Left") << 123u << qint64(0xff51);
    QTest::newRow("F1") << 122u << qint64(0xffbe);
    QTest::newRow("F12") << 111u << qint64(0xffc9);
    QTest::newRow("keypad 8") << 91u << qint64(0xffb8);
    QTest::newRow("no such key") << 200u << qint64(-1);
}

void TestWindowShortcut::keysyms()
{
    QFETCH(quint32, keyCode);
    QFETCH(qint64, keysym);
    const auto result = HotKeyCodec::keysymForKeyCode(keyCode);
    QCOMPARE(result.has_value(), keysym >= 0);
    if (result)
        QCOMPARE(qint64(*result), keysym);
}

void TestWindowShortcut::modifiers()
{
    using M = HotKeyCodec::X11Modifiers;
    QCOMPARE(HotKeyCodec::x11Modifiers(0x800), (M{false, true, false, false}));
    QCOMPARE(HotKeyCodec::x11Modifiers(0x100), (M{true, false, false, false}));
    QCOMPARE(HotKeyCodec::x11Modifiers(0x1000), (M{false, false, true, false}));
    QCOMPARE(HotKeyCodec::x11Modifiers(0x200 | 0x100), (M{true, false, false, true}));
    QCOMPARE(HotKeyCodec::x11Modifiers(0), M{});
}

void TestWindowShortcut::firstLaunchRegistersDefault()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    WindowShortcutController controller(std::move(backend), store);
    controller.start();
    QCOMPARE(fake->registrations, (QList<QPair<quint32, quint32>>{{6u, 0x800u}}));
    QVERIFY(controller.holdsHotKey());
    QVERIFY(!controller.error());
    QVERIFY(store.writes.isEmpty());
}

void TestWindowShortcut::unusableStoredValueKeepsBytes()
{
    MemoryStore store;
    const QByteArray bad(R"({"keyCode":-1,"modifiers":256,"label":"X"})");
    store.values.insert(key, bad);
    WindowShortcutController controller(std::make_unique<FakeHotKeyBackend>(), store);
    QCOMPARE(controller.shortcut(), WindowShortcut::defaultShortcut());
    controller.start();
    QCOMPARE(store.values.value(key).toByteArray(), bad);

    // A string holding valid JSON is not data: the default again.
    MemoryStore textStore;
    textStore.values.insert(key, QString::fromUtf8(WindowShortcut{7, 0x100, "X"}.toJson()));
    WindowShortcutController second(std::make_unique<FakeHotKeyBackend>(), textStore);
    QCOMPARE(second.shortcut(), WindowShortcut::defaultShortcut());
}

void TestWindowShortcut::pressesToggle()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    WindowShortcutController controller(std::move(backend), store);
    controller.start();
    fake->press(); // no onToggle yet: nothing
    int toggles = 0;
    controller.onToggle = [&] { ++toggles; };
    fake->press();
    QCOMPARE(toggles, 1);
    controller.setRecording(true);
    fake->press();
    QCOMPARE(toggles, 1);
    controller.setRecording(false);
    fake->press();
    QCOMPARE(toggles, 2);
}

void TestWindowShortcut::equalCombinationIsNoop()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    WindowShortcutController controller(std::move(backend), store);
    controller.start();
    QSignalSpy errors(&controller, &WindowShortcutController::errorChanged);
    QVERIFY(controller.registerShortcut(WindowShortcut::defaultShortcut(), true));
    QCOMPARE(fake->registrations.size(), 1);
    QVERIFY(store.writes.isEmpty());
    QCOMPARE(errors.size(), 1);
    QVERIFY(!controller.error());
}

void TestWindowShortcut::refusedRegistration()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    WindowShortcutController controller(std::move(backend), store);
    controller.start();
    int toggles = 0;
    controller.onToggle = [&] { ++toggles; };

    fake->nextStatus = -9878;
    QVERIFY(!controller.registerShortcut({7, 0x100, QStringLiteral("⌘ X")}, true));
    QCOMPARE(*controller.error(), QStringLiteral("快捷键注册失败（-9878），可能已被其他应用占用，请更换组合键。"));
    QCOMPARE(controller.shortcut(), WindowShortcut::defaultShortcut());
    QCOMPARE(fake->held, QList<quint64>{1});
    QVERIFY(store.writes.isEmpty());
    fake->press();
    QCOMPARE(toggles, 1); // the previous hot key still works

    fake->nextStatus = HotKeyBackend::busy;
    QVERIFY(!controller.registerShortcut({8, 0x100, QStringLiteral("⌘ C")}, true));
    QVERIFY(controller.errorText().contains(QStringLiteral("（-1）")));
}

void TestWindowShortcut::failedLaunchCanRetry()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    fake->nextStatus = HotKeyBackend::busy;
    WindowShortcutController controller(std::move(backend), store);
    controller.start();
    QVERIFY(controller.error());
    QVERIFY(!controller.holdsHotKey());
    fake->nextStatus = HotKeyBackend::ok;
    QVERIFY(controller.registerShortcut(WindowShortcut::defaultShortcut(), false));
    QCOMPARE(fake->registrations.size(), 2);
    QVERIFY(!controller.error());
}

void TestWindowShortcut::successPersistsAndReloads()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    WindowShortcutController controller(std::move(backend), store);
    controller.start();
    QSignalSpy shortcuts(&controller, &WindowShortcutController::shortcutChanged);
    const WindowShortcut recorded{7, 0x100 | 0x200, QStringLiteral("⌘⇧ X")};
    QVERIFY(controller.registerShortcut(recorded, true));
    QCOMPARE(controller.shortcut(), recorded);
    QCOMPARE(shortcuts.size(), 1);
    QCOMPARE(fake->unregistered, QList<quint64>{1});
    QCOMPARE(fake->held, QList<quint64>{2});
    const QJsonObject stored = QJsonDocument::fromJson(store.values.value(key).toByteArray()).object();
    QCOMPARE(stored.value("keyCode").toInt(), 7);
    QCOMPARE(stored.value("modifiers").toInt(), 0x300);
    QCOMPARE(stored.value("label").toString(), recorded.label);

    WindowShortcutController reloaded(std::make_unique<FakeHotKeyBackend>(), store);
    QCOMPARE(reloaded.shortcut(), recorded);
}

void TestWindowShortcut::labelOnlyChangeKeepsGrab()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    WindowShortcutController controller(std::move(backend), store);
    controller.start();
    const WindowShortcut relabelled{6, 0x800, QStringLiteral("Alt Z")};
    QVERIFY(controller.registerShortcut(relabelled, true));
    QCOMPARE(fake->registrations.size(), 1);
    QVERIFY(fake->unregistered.isEmpty());
    QCOMPARE(controller.shortcut().label, QStringLiteral("Alt Z"));
    QCOMPARE(*WindowShortcut::fromJson(store.values.value(key).toByteArray()), relabelled);
}

void TestWindowShortcut::stopReleasesEverything()
{
    MemoryStore store;
    auto backend = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *fake = backend.get();
    WindowShortcutController controller(std::move(backend), store);
    controller.stop(); // nothing held: nothing happens
    QVERIFY(fake->unregistered.isEmpty());
    controller.start();
    controller.stop();
    QCOMPARE(fake->unregistered, QList<quint64>{1});
    QVERIFY(!fake->handler);
    QVERIFY(!controller.holdsHotKey());
}

QTEST_GUILESS_MAIN(TestWindowShortcut)
#include "tst_windowshortcut.moc"
