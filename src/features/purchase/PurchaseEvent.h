#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A message from the shop page: {"version": 1, "type": "...", "orderId": "..."}.
// "version" must be a whole JSON number and "type" a string; "orderId" may be
// absent or null, and is otherwise a string. Other keys are ignored.
struct PurchaseEvent
{
    static inline const QString authRequestType = QStringLiteral("auth.request");
    static inline const QString purchaseSuccessType = QStringLiteral("purchase.success");

    qint64 version = 0;
    QString type;
    std::optional<QString> orderId;

    // Nothing for text that is not such an object: invalid JSON, another
    // top-level value, a missing or mistyped member (a "version" of "1" or
    // 1.5, an "orderId" of 7).
    [[nodiscard]] static std::optional<PurchaseEvent> decode(const QByteArray &utf8);
};
