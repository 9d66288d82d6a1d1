#pragma once

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

struct KeyEventInfo;

// Something that takes the next key presses while it captures: the answer-key
// draft and the hot-key recorder. Only one captures at a time in the whole
// program: starting a capture ends the one in progress elsewhere, so a key
// press never lands in two places.
class KeyCaptureHandler : public QObject
{
    Q_OBJECT
    QML_ANONYMOUS

public:
    explicit KeyCaptureHandler(QObject *parent = nullptr);
    ~KeyCaptureHandler() override;

    [[nodiscard]] virtual bool isCapturing() const = 0;
    // A press that arrived while capturing; every such press is swallowed.
    virtual void handleCapturedKey(const KeyEventInfo &event) = 0;
    // Ends a capture without a result (Esc-like); nothing when idle.
    virtual void cancelCapture() = 0;

    // The handler whose capture is in progress, if any.
    [[nodiscard]] static KeyCaptureHandler *activeHandler();

protected:
    // Call when a capture starts: ends the capture of any other handler.
    void claimCapture();
    // Call when a capture ends.
    void releaseCapture();

private:
    static QPointer<KeyCaptureHandler> s_active;
};
