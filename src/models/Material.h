#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// A reading material shared by several questions of a set.
struct Material
{
    QString id;
    QString title;
    QString context; // HTML

    [[nodiscard]] static Material fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    bool operator==(const Material &) const = default;
};

size_t qHash(const Material &material, size_t seed = 0);
