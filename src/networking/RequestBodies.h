#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// Bodies of the service's calls. Each encodes to one JSON object whose keys
// are its field names, every key on every call. The decoders (where a body
// has one) are strict and throw DecodingError.

struct SendVerifyCodeRequest
{
    QString mobile;

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static SendVerifyCodeRequest fromJson(const QJsonValue &value);
    bool operator==(const SendVerifyCodeRequest &) const = default;
};

struct LoginRequest
{
    QString mobile;
    QString verifyCode;

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static LoginRequest fromJson(const QJsonValue &value);
    bool operator==(const LoginRequest &) const = default;
};

// Encodes as {}; decoding reads nothing and always succeeds.
struct EmptyRequest
{
    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static EmptyRequest fromJson(const QJsonValue &value);
    bool operator==(const EmptyRequest &) const = default;
};

struct InitConfigRequest
{
    QString examBankId;

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static InitConfigRequest fromJson(const QJsonValue &value);
    bool operator==(const InitConfigRequest &) const = default;
};

struct CardMenuRequest
{
    QString id; // the exam bank's id
    qint64 type = 0; // 1 by question type, 2 by knowledge point

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static CardMenuRequest fromJson(const QJsonValue &value);
    bool operator==(const CardMenuRequest &) const = default;
};

struct ReportRequest
{
    QString id;

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static ReportRequest fromJson(const QJsonValue &value);
    bool operator==(const ReportRequest &) const = default;
};

struct QuestionRequest
{
    QString examBankId;
    QString menuId;
    qint64 pageSize = 0;
    qint64 questionType = 0; // plain code: 0, 1, 2 or 3

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static QuestionRequest fromJson(const QJsonValue &value);
    bool operator==(const QuestionRequest &) const = default;
};

// Encodes only.
struct PracticeHistoryListRequest
{
    QString examBankId;
    qint64 current = 0;
    qint64 pageSize = 0;
    qint64 examType = 0;

    [[nodiscard]] QJsonObject toJson() const;
    bool operator==(const PracticeHistoryListRequest &) const = default;
};

// Encodes only.
struct DeletePracticeHistoryRequest
{
    QStringList ids;

    [[nodiscard]] QJsonObject toJson() const;
    bool operator==(const DeletePracticeHistoryRequest &) const = default;
};

struct ManageCollectionRequest
{
    QString examBankId;
    QString questionId;
    bool collect = false;

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static ManageCollectionRequest fromJson(const QJsonValue &value);
    bool operator==(const ManageCollectionRequest &) const = default;
};

struct CollectionListRequest
{
    QString examBankId;
    qint64 current = 0;
    qint64 pageSize = 0;
    QString menuId;

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static CollectionListRequest fromJson(const QJsonValue &value);
    bool operator==(const CollectionListRequest &) const = default;
};
