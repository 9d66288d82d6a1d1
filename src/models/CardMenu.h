#pragma once

#include "models/QuestionType.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// A node of the practice menu tree (also of the collected-question folders).
// `id` is a local identity made afresh for every value built or decoded, so two
// decodes of the same JSON never compare equal; copies do.
struct CardMenu
{
    QUuid id = QUuid::createUuid();
    QString menuId;                     // "id" on the wire
    std::optional<QString> examBankId;
    QuestionType questionType = QuestionType::single;
    std::optional<qint64> menuType;
    QString name;
    std::optional<QString> parentId;
    qint64 count = 0;                   // "cnt"
    qint64 userWorkCount = 0;           // "userWorkCnt"
    qint64 needVip = 0;                 // exactly 1: needs a valid membership
    QList<CardMenu> children;

    [[nodiscard]] static CardMenu fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const CardMenu &other) const;
};

size_t qHash(const CardMenu &menu, size_t seed = 0);
