#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Body of "/exam/getRealExamList".
struct RealExamListRequest
{
    QString examBankId;
    qint64 current = 0;  // page number
    qint64 pageSize = 0;

    [[nodiscard]] static RealExamListRequest fromJson(const QJsonValue &value); // strict
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const RealExamListRequest &) const = default;
};
