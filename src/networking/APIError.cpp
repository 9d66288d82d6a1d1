#include "APIError.h"

APIError::APIError(Kind kind, int statusCode, QString code, QString message)
    : m_kind(kind), m_statusCode(statusCode), m_code(std::move(code)), m_message(std::move(message))
{
}

APIError APIError::server(int statusCode)
{
    return APIError(Kind::server, statusCode);
}

APIError APIError::api(const QString &code, const QString &message)
{
    return APIError(Kind::api, 0, code, message);
}

APIError APIError::invalidURL()
{
    return APIError(Kind::invalidURL);
}

APIError APIError::invalidResponse()
{
    return APIError(Kind::invalidResponse);
}

APIError APIError::unauthorized()
{
    return APIError(Kind::unauthorized);
}

APIError APIError::vipRequired()
{
    return APIError(Kind::vipRequired);
}

APIError APIError::missingData()
{
    return APIError(Kind::missingData);
}

QString APIError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::server:
        return QStringLiteral("服务器错误（HTTP %1）").arg(m_statusCode);
    case Kind::api:
        return m_message;
    case Kind::invalidURL:
        return QStringLiteral("接口地址无效");
    case Kind::invalidResponse:
        return QStringLiteral("服务器响应无效");
    case Kind::unauthorized:
        return QStringLiteral("登录已失效，请重新登录");
    case Kind::vipRequired:
        return QStringLiteral("当前题库需要会员权限");
    case Kind::missingData:
        return QStringLiteral("服务器没有返回业务数据");
    }
    return QStringLiteral("服务器响应无效");
}

bool APIError::operator==(const APIError &other) const
{
    return m_kind == other.m_kind && m_statusCode == other.m_statusCode && m_code == other.m_code
           && m_message == other.m_message;
}
