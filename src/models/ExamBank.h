#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

// An exam bank; identified by its text id. Also persisted as the JSON that
// toJson() writes ("exam_bank_list").
struct ExamBank
{
    QString id;
    QString name;
    qint64 isShow = 1;

    [[nodiscard]] static ExamBank fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const ExamBank &) const = default;
};

size_t qHash(const ExamBank &bank, size_t seed = 0);

// Data of the init-config reply; only the bank list is read here.
struct InitConfigResponse
{
    // Strict: a missing, null or non-array list, or an element that is not an
    // object, fails the decode.
    QList<ExamBank> examBankList;

    [[nodiscard]] static InitConfigResponse fromJson(const QJsonValue &value);
};
