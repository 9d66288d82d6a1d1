#include "AppModelTestSupport.h"
#include "ExamSettingsDraft.h"
#include "KeyCaptureItem.h"
#include "KeyCaptureRules.h"
#include "ShellFakes.h"
#include "WindowShortcutRecorder.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// The answer-key refusal as the user reads it, with this desktop's key names.
const QString answerKeyRefusal = QStringLiteral("请按一个不带 Ctrl、Alt 或 Super 的按键");

// The hot-key row's texts as the user reads them, with this desktop's key names.
const QString hotKeyRefusal = QStringLiteral("请使用带 Alt、Ctrl 或 Super 的组合键。");
const QString hotKeyHint = QStringLiteral("点击换绑，按住 Alt、Ctrl 或 Super 再按一个键；Esc 取消。");
const QString hotKeyNote = QStringLiteral("全局生效，与透明模式无关。默认 Alt+Z；修改后立即保存。");
const QString noGlobalKeysMessage = QStringLiteral("当前会话不支持全局快捷键（纯 Wayland），无法录制；请在 X11 会话中使用。");
const QString noPortalMessage = QStringLiteral("此 Wayland 会话的桌面不提供全局快捷键接口，快捷键无法使用；请改用 X11 会话，或 GNOME 48、KDE Plasma 5.27 及以上版本。");
const QString notInstalledMessage = QStringLiteral("桌面只为已安装的程序提供全局快捷键：请先安装 vuzo（含桌面文件 org.vuzo.Vuzo.desktop，见 README），再重新启动。");
const QString unavailableTitle = QStringLiteral("不可用");

using Flag = KeyEventInfo::ModifierFlag;

KeyEventInfo key(int code, const QString &characters, KeyEventInfo::ModifierFlags flags = {})
{
    KeyEventInfo event;
    event.keyCode = code;
    event.charactersIgnoringModifiers = characters;
    event.modifierFlags = flags;
    return event;
}

const KeyEventInfo escape = key(KeyCode::Escape, QStringLiteral("\x1b"));

QString keyLabel(ExamSettingsDraft &draft, int row)
{
    return draft.answerKeys()->index(row).data(AnswerKeyList::KeyLabelRole).toString();
}

// A controller on a fake grab and an in-memory store, already holding `current`.
struct HotKeyFixture
{
    explicit HotKeyFixture(const WindowShortcut &current = WindowShortcut{0x28, 0x100, QStringLiteral("⌘ K")})
    {
        auto owned = std::make_unique<FakeHotKeyBackend>();
        backend = owned.get();
        store.values.insert(WindowShortcutController::storageKey, current.toJson());
        controller = std::make_unique<WindowShortcutController>(std::move(owned), store);
        controller->onToggle = [this] { ++toggles; };
        controller->start();
        store.writes.clear();
    }
    MemoryStore store;
    FakeHotKeyBackend *backend = nullptr;
    std::unique_ptr<WindowShortcutController> controller;
    int toggles = 0;
};

// Records what reaches a focused item after the capture item had its say.
class KeySink : public QQuickItem
{
public:
    using QQuickItem::QQuickItem;
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        keys.append(event->key());
        event->accept();
    }
};

} // namespace

// The practice settings panel's working copy, the hot-key row, and the item
// that routes key presses to whichever of them captures.
class TestHomeSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void draftStartsFromTheModelAndLeavesItAlone()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QuestionKeyboardShortcuts custom = QuestionKeyboardShortcuts::defaultValue();
        custom.bindings.insert(QuestionShortcutAction::optionA, QStringLiteral("q"));
        QVERIFY(model.updateExamSettings(ExamMode::review, 20, custom));

        ExamSettingsDraft draft;
        draft.setModel(&model);
        QCOMPARE(draft.selectedModeValue(), 1);
        QCOMPARE(draft.selectedQuestionCount(), 20);
        QCOMPARE(keyLabel(draft, 0), QStringLiteral("Q"));
        QCOMPARE(keyLabel(draft, 4), QStringLiteral("Enter"));

        draft.chooseMode(0);
        draft.chooseQuestionCount(35);
        draft.chooseQuestionCount(33); // not an option
        draft.setShortcutsEnabled(false);
        QCOMPARE(draft.selectedQuestionCount(), 35);
        QCOMPARE(model.examMode(), ExamMode::review);
        QCOMPARE(model.examQuestionCount(), 20);
        QVERIFY(model.questionKeyboardShortcuts().enabled);

        // A new panel starts again from the model.
        ExamSettingsDraft reopened;
        reopened.setModel(&model);
        QCOMPARE(reopened.selectedModeValue(), 1);

        QVERIFY(draft.confirm());
        QCOMPARE(model.examMode(), ExamMode::practice);
        QCOMPARE(model.examQuestionCount(), 35);
        QVERIFY(!model.questionKeyboardShortcuts().enabled);
        QCOMPARE(model.noticeMessage().value_or(QString()), QStringLiteral("已设置为做题模式，每组 35 道"));
        QVERIFY(draft.confirmError().isEmpty());
    }

    void invalidStoredKeysFallBackSoConfirmWorks()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QuestionKeyboardShortcuts broken;
        broken.enabled = false;
        broken.bindings.insert(QuestionShortcutAction::optionA, QStringLiteral("x")); // same as B
        model.setQuestionKeyboardShortcuts(broken);
        QVERIFY(!model.questionKeyboardShortcuts().isValid());

        ExamSettingsDraft draft;
        draft.setModel(&model);
        QCOMPARE(keyLabel(draft, 0), QStringLiteral("Z"));
        QVERIFY(!draft.shortcutsEnabled());
        QVERIFY(draft.confirm());
        QVERIFY(model.questionKeyboardShortcuts().isValid());
        QVERIFY(!model.questionKeyboardShortcuts().enabled);
    }

    void captureBindsRefusesAndCancels()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        ExamSettingsDraft draft;
        draft.setModel(&model);
        QSignalSpy rows(draft.answerKeys(), &QAbstractItemModel::dataChanged);

        draft.startCapture(0);
        QVERIFY(draft.isCapturing());
        QCOMPARE(keyLabel(draft, 0), QStringLiteral("请按键"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().first().toModelIndex().row(), 0);

        draft.handleCapturedKey(key(KeyCode::X, QStringLiteral("x")));
        QCOMPARE(draft.shortcutErrorText(), QStringLiteral("该按键已用于选项 B"));
        QVERIFY(draft.isCapturing());
        draft.handleCapturedKey(key(KeyCode::K, QStringLiteral("k"), Flag::Command));
        QCOMPARE(draft.shortcutErrorText(), answerKeyRefusal);

        // The next usable key completes the capture and clears the message.
        draft.handleCapturedKey(key(KeyCode::Q, QStringLiteral("q")));
        QVERIFY(!draft.isCapturing());
        QVERIFY(!draft.hasShortcutError());
        QCOMPARE(keyLabel(draft, 0), QStringLiteral("Q"));
        QCOMPARE(model.questionKeyboardShortcuts().effectiveBinding(QuestionShortcutAction::optionA), QStringLiteral("z"));

        // Esc ends a capture and keeps the binding.
        draft.startCapture(1);
        draft.handleCapturedKey(escape);
        QVERIFY(!draft.isCapturing());
        QCOMPARE(keyLabel(draft, 1), QStringLiteral("X"));

        // A key button clears an earlier message before the new capture.
        draft.startCapture(2);
        draft.handleCapturedKey(key(KeyCode::Tab, QStringLiteral("\t")));
        QCOMPARE(draft.shortcutErrorText(), answerKeyRefusal);
        draft.startCapture(3);
        QVERIFY(!draft.hasShortcutError());
        QCOMPARE(draft.capturingActionValue(), 3);

        // Confirm during a capture submits the keys as they stand.
        QVERIFY(draft.confirm());
        QVERIFY(!draft.isCapturing());
        QCOMPARE(model.questionKeyboardShortcuts().effectiveBinding(QuestionShortcutAction::optionA), QStringLiteral("q"));
        QCOMPARE(model.questionKeyboardShortcuts().effectiveBinding(QuestionShortcutAction::optionD), QStringLiteral("v"));
    }

    void restoreDefaultsKeepsTheSwitch_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("off stays off") << false;
        QTest::newRow("on stays on") << true;
    }
    void restoreDefaultsKeepsTheSwitch()
    {
        QFETCH(bool, enabled);
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        ExamSettingsDraft draft;
        draft.setModel(&model);
        draft.setShortcutsEnabled(enabled);
        draft.startCapture(0);
        draft.handleCapturedKey(key(KeyCode::Q, QStringLiteral("q")));
        draft.startCapture(1);
        draft.handleCapturedKey(key(KeyCode::Q, QStringLiteral("q")));
        QVERIFY(draft.hasShortcutError());
        QVERIFY(draft.isCapturing());

        draft.restoreDefaultKeys();
        QCOMPARE(draft.shortcutsEnabled(), enabled);
        QVERIFY(!draft.isCapturing());
        QVERIFY(!draft.hasShortcutError());
        QCOMPARE(keyLabel(draft, 0), QStringLiteral("Z"));
        QCOMPARE(keyLabel(draft, 1), QStringLiteral("X"));
    }

    void recorderRegistersAndSaves()
    {
        HotKeyFixture fixture;
        WindowShortcutRecorder recorder;
        recorder.setController(fixture.controller.get());
        QCOMPARE(recorder.buttonTitle(), QStringLiteral("Ctrl + K"));
        QCOMPARE(recorder.note(), hotKeyNote);

        recorder.startRecording();
        QVERIFY(recorder.isCapturing());
        QVERIFY(fixture.controller->isRecording());
        QCOMPARE(recorder.buttonTitle(), QStringLiteral("请按组合键…"));
        // The global key is silent meanwhile.
        fixture.backend->press();
        QCOMPARE(fixture.toggles, 0);

        recorder.handleCapturedKey(key(KeyCode::A, QStringLiteral("A"), Flag::Shift));
        QVERIFY(recorder.isCapturing());
        QVERIFY(recorder.showsError());
        QCOMPARE(recorder.messageText(), hotKeyRefusal);

        recorder.handleCapturedKey(key(KeyCode::Z, QStringLiteral("z"), Flag::Option));
        QVERIFY(!recorder.isCapturing());
        QVERIFY(!fixture.controller->isRecording());
        QCOMPARE(fixture.backend->registrations.last(), (QPair<quint32, quint32>(6, 0x800)));
        QCOMPARE(fixture.store.values.value(WindowShortcutController::storageKey).toByteArray(),
                 WindowShortcut::defaultShortcut().toJson());
        QCOMPARE(recorder.buttonTitle(), QStringLiteral("Alt + Z"));
        QCOMPARE(recorder.messageText(), hotKeyHint);
        fixture.backend->press();
        QCOMPARE(fixture.toggles, 1);

        // "恢复默认" with the default in force writes nothing.
        fixture.store.writes.clear();
        recorder.restoreDefault();
        QVERIFY(fixture.store.writes.isEmpty());
    }

    void recorderKeepsRecordingWhenRefused()
    {
        HotKeyFixture fixture;
        WindowShortcutRecorder recorder;
        recorder.setController(fixture.controller.get());
        recorder.startRecording();
        fixture.backend->nextStatus = HotKeyBackend::busy;
        recorder.handleCapturedKey(key(KeyCode::J, QStringLiteral("j"), Flag::Command));
        QVERIFY(recorder.isCapturing());
        QVERIFY(recorder.messageText().startsWith(QStringLiteral("快捷键注册失败（-1）")));
        QCOMPARE(fixture.controller->shortcut().keyCode, quint32(0x28));

        // Esc leaves the key in force alone; the message stays.
        recorder.handleCapturedKey(escape);
        QVERIFY(!recorder.isCapturing());
        QCOMPARE(fixture.controller->shortcut().keyCode, quint32(0x28));
        QVERIFY(recorder.showsError());
        // A new recording starts without the old message.
        recorder.startRecording();
        QCOMPARE(recorder.messageText(), hotKeyHint);
    }

    void recorderGoingAwayEndsRecording()
    {
        HotKeyFixture fixture;
        auto recorder = std::make_unique<WindowShortcutRecorder>();
        recorder->setController(fixture.controller.get());
        recorder->startRecording();
        QVERIFY(fixture.controller->isRecording());
        recorder.reset();
        QVERIFY(!fixture.controller->isRecording());
        QVERIFY(!KeyCaptureHandler::activeHandler());
    }

    void noRecordingWhereKeysCannotBeGrabbed_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("message");
        QTest::newRow("no X11, no portal") << int(HotKeyBackend::Availability::noGlobalKeys)
                                           << noGlobalKeysMessage;
        QTest::newRow("Wayland session without the portal")
            << int(HotKeyBackend::Availability::waylandWithoutPortal) << noPortalMessage;
        QTest::newRow("portal that cannot name the program")
            << int(HotKeyBackend::Availability::desktopRefusesProgram) << notInstalledMessage;
    }
    void noRecordingWhereKeysCannotBeGrabbed()
    {
        QFETCH(int, reason);
        QFETCH(QString, message);
        MemoryStore store;
        auto owned = std::make_unique<FakeHotKeyBackend>();
        owned->available = false;
        owned->unavailableReason = HotKeyBackend::Availability(reason);
        WindowShortcutController controller(std::move(owned), store);
        WindowShortcutRecorder recorder;
        recorder.setController(&controller);
        // The launch's registration fails as it must; the row explains why
        // rather than showing that failure's number.
        controller.start();
        QVERIFY(!controller.holdsHotKey());
        QVERIFY(!controller.error());
        QVERIFY(!recorder.canRecord());
        recorder.startRecording();
        QVERIFY(!recorder.isCapturing());
        QCOMPARE(recorder.messageText(), message);
        QVERIFY(recorder.showsError());
        // No combination is shown that would do nothing.
        QCOMPARE(recorder.buttonTitle(), unavailableTitle);
        // "恢复默认" cannot bring a failure number either.
        recorder.restoreDefault();
        QCOMPARE(recorder.messageText(), message);
    }

    void oneCaptureAtATime()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        HotKeyFixture fixture;
        ExamSettingsDraft draft;
        draft.setModel(&model);
        WindowShortcutRecorder recorder;
        recorder.setController(fixture.controller.get());

        draft.startCapture(0);
        recorder.startRecording();
        QVERIFY(!draft.isCapturing());
        QVERIFY(recorder.isCapturing());
        QCOMPARE(KeyCaptureHandler::activeHandler(), &recorder);

        draft.startCapture(2);
        QVERIFY(!recorder.isCapturing());
        QVERIFY(!fixture.controller->isRecording());
        QCOMPARE(KeyCaptureHandler::activeHandler(), &draft);
        draft.restoreDefaultKeys();
        QVERIFY(!KeyCaptureHandler::activeHandler());
    }

    void captureItemTakesKeysOfItsWindowOnce()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        ExamSettingsDraft draft;
        draft.setModel(&model);

        QQuickWindow window;
        window.resize(300, 200);
        auto *sink = new KeySink(window.contentItem());
        sink->setFocus(true);
        auto *capture = new KeyCaptureItem(window.contentItem());
        capture->setHandler(&draft);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.requestActivate();
        QTRY_VERIFY(window.isActive());
        // What the shortcut map asks the focus object before a shortcut may fire.
        const auto overrideTaken = [&] {
            QKeyEvent shortcutOverride(QEvent::ShortcutOverride, Qt::Key_K, Qt::ControlModifier);
            shortcutOverride.ignore();
            QCoreApplication::sendEvent(sink, &shortcutOverride);
            return shortcutOverride.isAccepted();
        };

        // Idle: presses reach the focused item and shortcuts may fire.
        QTest::keyClick(&window, Qt::Key_Q);
        QCOMPARE(sink->keys, QList<int>{Qt::Key_Q});
        QVERIFY(!overrideTaken());

        // Capturing: no shortcut may fire, a refused press is seen once.
        draft.startCapture(0);
        QVERIFY(overrideTaken());
        QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(draft.shortcutErrorText(), answerKeyRefusal);
        // One press binds once, and the focused item never sees it.
        QTest::keyClick(&window, Qt::Key_W);
        QVERIFY(!draft.isCapturing());
        QCOMPARE(keyLabel(draft, 0), QStringLiteral("W"));
        QCOMPARE(sink->keys, QList<int>{Qt::Key_Q});
        QVERIFY(!overrideTaken());
    }
};

QTEST_MAIN(TestHomeSettings)
#include "tst_homesettings.moc"
