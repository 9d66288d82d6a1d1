#include "ResponseCryptoError.h"

ResponseCryptoError::ResponseCryptoError(Kind kind, std::int32_t status) : m_kind(kind), m_status(status) { }

ResponseCryptoError ResponseCryptoError::decryptionFailed(std::int32_t status)
{
    return ResponseCryptoError(Kind::decryptionFailed, status);
}

ResponseCryptoError ResponseCryptoError::invalidPayload()
{
    return ResponseCryptoError(Kind::invalidPayload);
}

ResponseCryptoError ResponseCryptoError::invalidConfiguration()
{
    return ResponseCryptoError(Kind::invalidConfiguration);
}

QString ResponseCryptoError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::decryptionFailed:
        return QStringLiteral("响应解密失败（%1）").arg(m_status);
    case Kind::invalidPayload:
        return QStringLiteral("服务器返回了无法识别的数据");
    case Kind::invalidConfiguration:
        return QStringLiteral("响应解密配置无效");
    }
    return QStringLiteral("服务器返回了无法识别的数据");
}
