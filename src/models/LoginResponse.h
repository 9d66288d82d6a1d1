#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Data of the login reply. Every member is strict: a missing, null or
// non-string member fails the decode with DecodingError.
struct LoginResponse
{
    QString id;
    QString mobile;
    QString token;

    [[nodiscard]] static LoginResponse fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;
};
