#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// One row of the past-paper list; identified by `id`.
struct RealExamSummary
{
    QString id;
    QString name;
    qint64 needVip = 0; // exactly 1: members only

    [[nodiscard]] static RealExamSummary fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const RealExamSummary &) const = default;
};

size_t qHash(const RealExamSummary &summary, size_t seed = 0);
