#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into an orderly quit of the event loop: the signal
// handler only writes a byte to a pipe, and the event loop reads it.
class ShutdownSignals : public QObject
{
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;
    [[nodiscard]] bool isInstalled() const { return m_notifier != nullptr; }

Q_SIGNALS:
    // A termination signal arrived; emitted on the GUI thread.
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier *m_notifier = nullptr;
};
