#pragma once

#include "platform/VuzoError.h"

#include <QString>

// A value meant for a request header that would break the header apart (a
// line break or a NUL): the request is not sent.
class HeaderValueError : public VuzoError
{
public:
    // `what` names the value for the user: "登录凭证", "题库 ID"…
    explicit HeaderValueError(QString what);

    // False for text holding CR, LF or NUL.
    [[nodiscard]] static bool isSendable(const QString &text);

    [[nodiscard]] const QString &valueName() const { return m_valueName; }
    [[nodiscard]] QString localizedDescription() const override;

private:
    QString m_valueName;
};
