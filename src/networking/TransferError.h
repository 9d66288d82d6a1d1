#pragma once

#include "platform/VuzoError.h"

#include <QNetworkReply>
#include <QString>

// A transfer that did not produce an HTTP reply: no connection, a time-out,
// a TLS failure, a cancelled request. Keeps Qt's error for callers that care.
class TransferError : public VuzoError
{
public:
    explicit TransferError(QNetworkReply::NetworkError error, QString detail = {});
    // The reply body passed the client's bound (in bytes) and was cut off.
    [[nodiscard]] static TransferError replyTooLarge(qint64 limit);

    [[nodiscard]] QNetworkReply::NetworkError error() const { return m_error; }
    // Qt's own wording (English); for diagnostics, never shown to the user.
    [[nodiscard]] const QString &detail() const { return m_detail; }
    [[nodiscard]] bool isTimeout() const;
    [[nodiscard]] bool isReplyTooLarge() const { return m_replyLimit > 0; }
    // The request was given up by the program (its client went away). A reply
    // cut off at the size bound is a failure of the reply, never this.
    [[nodiscard]] bool isCancellation() const;

    [[nodiscard]] QString localizedDescription() const override;

private:
    QNetworkReply::NetworkError m_error;
    QString m_detail;
    qint64 m_replyLimit = 0;
};
