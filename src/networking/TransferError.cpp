#include "TransferError.h"

TransferError::TransferError(QNetworkReply::NetworkError error, QString detail)
    : m_error(error), m_detail(std::move(detail))
{
}

TransferError TransferError::replyTooLarge(qint64 limit)
{
    // Qt reports the abort as a cancellation; what went wrong is the content.
    TransferError error(QNetworkReply::UnknownContentError, QStringLiteral("reply body over %1 bytes").arg(limit));
    error.m_replyLimit = limit;
    return error;
}

bool TransferError::isTimeout() const
{
    return m_error == QNetworkReply::TimeoutError;
}

bool TransferError::isCancellation() const
{
    return m_error == QNetworkReply::OperationCanceledError && !isReplyTooLarge();
}

QString TransferError::localizedDescription() const
{
    if (m_replyLimit > 0)
        return QStringLiteral("服务器返回的数据过大（超过 %1 MB），已停止接收").arg(m_replyLimit / (1024 * 1024));
    switch (m_error) {
    case QNetworkReply::TimeoutError:
        return QStringLiteral("网络请求超时，请稍后重试");
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("网络请求已取消");
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
        return QStringLiteral("无法连接到服务器，请检查网络连接");
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
        return QStringLiteral("与服务器的连接已断开，请重试");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("无法建立安全连接");
    default:
        break;
    }
    return QStringLiteral("网络请求失败（错误 %1）").arg(int(m_error));
}
