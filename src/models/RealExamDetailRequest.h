#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Body of "/exam/getRealExamDetailAndJoinExam".
struct RealExamDetailRequest
{
    QString examBankId;
    QString id; // the chosen RealExamSummary's id

    [[nodiscard]] static RealExamDetailRequest fromJson(const QJsonValue &value); // strict
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const RealExamDetailRequest &) const = default;
};
