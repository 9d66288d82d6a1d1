#pragma once

#include "KeyCaptureHandler.h"
#include "windowing/WindowShortcutController.h"

#include <QPointer>
#include <QtQml/qqmlregistration.h>

// The hot-key settings row: shows the combination in force, records a new
// one from the next Alt/Ctrl/Super combination (registered and saved at
// once), restores the default, and silences the global hot key while it
// records. Lives as long as the row; going away ends the recording.
class WindowShortcutRecorder : public KeyCaptureHandler
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(WindowShortcutController *controller READ controller WRITE setController NOTIFY controllerChanged)
    Q_PROPERTY(bool capturing READ isCapturing NOTIFY capturingChanged)
    Q_PROPERTY(QString buttonTitle READ buttonTitle NOTIFY displayChanged)
    // The controller's message when it has one, else the hint (or, where no
    // global key can be grabbed, why nothing can be recorded).
    Q_PROPERTY(QString messageText READ messageText NOTIFY displayChanged)
    Q_PROPERTY(bool showsError READ showsError NOTIFY displayChanged)
    Q_PROPERTY(bool canRecord READ canRecord NOTIFY displayChanged)
    // The desktop keeps the key: the row shows it, and where to change it.
    Q_PROPERTY(bool desktopKeepsKey READ desktopKeepsKey NOTIFY displayChanged)
    Q_PROPERTY(QString note READ note CONSTANT)

public:
    explicit WindowShortcutRecorder(QObject *parent = nullptr);
    ~WindowShortcutRecorder() override;

    [[nodiscard]] WindowShortcutController *controller() const { return m_controller; }
    void setController(WindowShortcutController *controller);

    [[nodiscard]] bool isCapturing() const override { return m_capturing; }
    [[nodiscard]] QString buttonTitle() const;
    [[nodiscard]] QString messageText() const;
    [[nodiscard]] bool showsError() const;
    [[nodiscard]] bool canRecord() const;
    [[nodiscard]] bool desktopKeepsKey() const;
    [[nodiscard]] QString note() const;

    // The combination button: clears the message and starts recording.
    Q_INVOKABLE void startRecording();
    // "恢复默认": registers and saves Alt+Z; a success ends the recording.
    Q_INVOKABLE void restoreDefault();

    void handleCapturedKey(const KeyEventInfo &event) override;
    void cancelCapture() override;

Q_SIGNALS:
    void controllerChanged();
    void capturingChanged();
    void displayChanged();

private:
    void setCapturing(bool capturing);

    QPointer<WindowShortcutController> m_controller;
    QList<QMetaObject::Connection> m_connections;
    bool m_capturing = false;
};
