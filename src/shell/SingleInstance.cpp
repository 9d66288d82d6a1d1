#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <unistd.h>

namespace {

const QByteArray showRequest = "show\n";
const QByteArray acknowledgement = "ok\n";

} // namespace

SingleInstance::SingleInstance(const QString &settingsFilePath, QObject *parent)
    : QObject(parent)
{
    const QFileInfo settings(settingsFilePath);
    m_lockPath = settings.absolutePath() + QStringLiteral("/instance.lock");
    // The socket lives in the temporary folder, named after the settings file
    // and the user, so that copies on other settings files do not meet.
    const QByteArray digest
        = QCryptographicHash::hash(settings.absoluteFilePath().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    m_serverName = QStringLiteral("vuzo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

SingleInstance::~SingleInstance()
{
    m_server.close();
}

SingleInstance::Outcome SingleInstance::claim()
{
    QDir().mkpath(QFileInfo(m_lockPath).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock left by a copy that died is taken over (QLockFile checks the
    // process); a live holder is never considered stale by age.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
        return Outcome::primary;
    }
    m_lock.reset();
    return askRunningCopy() ? Outcome::handedOver : Outcome::failed;
}

void SingleInstance::listen()
{
    // A socket file left by a copy that died would make listen() fail.
    QLocalServer::removeServer(m_serverName);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_serverName))
        return; // this copy still runs; later launches will find no one to ask
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    // Anything longer than the one request is not ours.
                    if (socket->bytesAvailable() > 64)
                        socket->abort();
                    return;
                }
                const QByteArray line = socket->readLine(64);
                if (line == showRequest) {
                    socket->write(acknowledgement);
                    socket->flush();
                    Q_EMIT activationRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::askRunningCopy() const
{
    // The running copy may be starting up and not listen yet.
    for (int attempt = 0; attempt < 50; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(200)) {
            socket.write(showRequest);
            if (socket.waitForBytesWritten(1000)) {
                while (!socket.canReadLine() && socket.waitForReadyRead(3000)) {
                }
                if (socket.readLine(64) == acknowledgement)
                    return true;
            }
        }
        QThread::msleep(100);
    }
    return false;
}
