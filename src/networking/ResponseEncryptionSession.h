#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A response key agreed with the service by the handshake.
struct ResponseEncryptionSession
{
    QString sessionId;
    QByteArray aesKey; // 32 bytes
    QString baseURL;   // the base address the session was agreed with
    qint64 expiresAt = 0; // wall-clock ms since 1970; kept, consulted by nothing

    bool operator==(const ResponseEncryptionSession &) const = default;
};
