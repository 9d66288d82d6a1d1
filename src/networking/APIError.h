#pragma once

#include "platform/VuzoError.h"

#include <QString>

// The service client's own failures, each with the text the user sees.
class APIError : public VuzoError
{
public:
    enum class Kind { server, api, invalidURL, invalidResponse, unauthorized, vipRequired, missingData };

    [[nodiscard]] static APIError server(int statusCode);
    [[nodiscard]] static APIError api(const QString &code, const QString &message);
    [[nodiscard]] static APIError invalidURL();
    [[nodiscard]] static APIError invalidResponse();
    [[nodiscard]] static APIError unauthorized();
    [[nodiscard]] static APIError vipRequired();
    [[nodiscard]] static APIError missingData();

    [[nodiscard]] Kind kind() const { return m_kind; }
    // The HTTP status of `server`; 0 for the other cases.
    [[nodiscard]] int statusCode() const { return m_statusCode; }
    // The business code and message of `api`; empty for the other cases.
    [[nodiscard]] const QString &code() const { return m_code; }
    [[nodiscard]] const QString &message() const { return m_message; }

    [[nodiscard]] QString localizedDescription() const override;

    bool operator==(const APIError &other) const;

private:
    explicit APIError(Kind kind, int statusCode = 0, QString code = {}, QString message = {});

    Kind m_kind;
    int m_statusCode;
    QString m_code;
    QString m_message;
};
