#pragma once

#include "windowing/WindowShortcut.h"
#include "models/QuestionKeyboardShortcuts.h"
#include "platform/KeyEventInfo.h"

#include <QString>
#include <optional>

// What one key press does to a capture in progress: the answer keys of the
// practice settings and the global show/hide combination. Pure functions,
// so every rule is checked without a window.

struct AnswerKeyCaptureResult
{
    enum class Outcome {
        passThrough, // no capture in progress: the key goes on to the window
        cancelled,   // Esc: the capture ends, the binding stays
        ignored,     // a modifier or lock key alone: swallowed, nothing changes
        refused,     // the key cannot be an answer key; the capture goes on
        conflict,    // another action has the key; the capture goes on
        bound,       // the key is the captured action's new binding
    };
    Outcome outcome = Outcome::passThrough;
    // Whether the press stops here.
    bool consumed = false;
    // The message to show; none clears the message.
    std::optional<QString> error;
    // The edited set after the press (changed only when bound).
    QuestionKeyboardShortcuts shortcuts;
};

namespace AnswerKeyCapture {
// Any key that cannot be an answer key: one held with Ctrl, Alt or Super, and
// keys without a single printable character (arrows, F keys, Tab, Backspace…).
inline const QString modifierMessage = QStringLiteral("请按一个不带 Ctrl、Alt 或 Super 的按键");
// "该按键已用于" and the title of the action that has the key.
[[nodiscard]] QString conflictMessage(QuestionShortcutAction holder);
// "选项 A" … "确认".
[[nodiscard]] QString actionTitle(QuestionShortcutAction action);
// "A" … "确认", the captions above the key buttons.
[[nodiscard]] QString actionCaption(QuestionShortcutAction action);

[[nodiscard]] AnswerKeyCaptureResult decide(const KeyEventInfo &event,
                                            std::optional<QuestionShortcutAction> capturing,
                                            const QuestionKeyboardShortcuts &shortcuts);
} // namespace AnswerKeyCapture

struct HotKeyRecordingResult
{
    enum class Outcome {
        cancelled, // Esc: recording ends, the hot key in force stays
        ignored,   // an auto-repeat or a modifier key alone: swallowed, nothing changes
        refused,   // not a usable combination: message, recording goes on
        recorded,  // `shortcut` is to be registered
    };
    Outcome outcome = Outcome::ignored;
    QString message;
    WindowShortcut shortcut;
};

namespace HotKeyRecording {
// Every refused combination: without Alt, Ctrl or Super, or a key that
// cannot be one (Tab, Backspace, Delete, a key without a name).
inline const QString modifierMessage = QStringLiteral("请使用带 Alt、Ctrl 或 Super 的组合键。");
inline const QString hint = QStringLiteral("点击换绑，按住 Alt、Ctrl 或 Super 再按一个键；Esc 取消。");
inline const QString note = QStringLiteral("全局生效，与透明模式无关。默认 Alt+Z；修改后立即保存。");
inline const QString unavailableMessage
    = QStringLiteral("当前会话不支持全局快捷键（纯 Wayland），无法录制；请在 X11 会话中使用。");
inline const QString waylandWithoutPortalMessage = QStringLiteral(
    "此 Wayland 会话的桌面不提供全局快捷键接口，快捷键无法使用；请改用 X11 会话，或 GNOME 48、KDE Plasma 5.27 及以上版本。");
// The desktop gives global shortcuts only to installed programs it can name.
inline const QString desktopRefusesProgramMessage = QStringLiteral(
    "桌面只为已安装的程序提供全局快捷键：请先安装 vuzo（含桌面文件 org.vuzo.Vuzo.desktop，见 README），再重新启动。");
// The desktop asked the user (or is still binding) and has not answered.
inline const QString pendingMessage = QStringLiteral("已请桌面绑定快捷键，请在桌面弹出的窗口中确认。");
// The combination button where no global key can work: no combination is named.
inline const QString unavailableTitle = QStringLiteral("不可用");
// The desktop keeps the shortcut but reports no key for it.
inline const QString unassignedTitle = QStringLiteral("未分配按键");

// Where the desktop keeps the key (the portal): which of its settings change
// it, for the desktop XDG_CURRENT_DESKTOP names ("ubuntu:GNOME", "KDE").
[[nodiscard]] QString desktopSettingsMessage(const QString &currentDesktop);

// Every press that reaches a recording is swallowed; the result says what follows.
[[nodiscard]] HotKeyRecordingResult decide(const KeyEventInfo &event);
// The key's name in the stored label: "Enter", "Space", arrows, "F5",
// "Home"…, else its character upper-cased; none for a key without a usable name.
[[nodiscard]] std::optional<QString> keyName(const KeyEventInfo &event);
} // namespace HotKeyRecording
