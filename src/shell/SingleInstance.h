#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

// One copy of the program per settings file: two copies would each rewrite
// the whole file from their own memory, show two panels and fight over the
// hot key. The first copy holds a lock beside the settings file and listens
// on a local socket; a later launch asks it to show its panel and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        primary, // this is the one copy; activationRequested() follows later launches
        handedOver, // a running copy was asked to show its panel; end this one
        failed, // a running copy holds the lock but did not answer
    };

    explicit SingleInstance(const QString &settingsFilePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    Outcome claim();

Q_SIGNALS:
    // A later launch asked for the panel.
    void activationRequested();

private:
    void listen();
    [[nodiscard]] bool askRunningCopy() const;

    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};
