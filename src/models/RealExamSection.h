#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// One section of a past paper: 0-based inclusive positions in the paper's own
// question list. All members strict.
struct RealExamSection
{
    qint64 rangBegin = 0;
    qint64 rangEnd = 0;
    QString title;
    QString des;

    [[nodiscard]] static RealExamSection fromJson(const QJsonValue &value);
    [[nodiscard]] QJsonObject toJson() const;

    // The section list carried as JSON text (a past paper's or a report's
    // extraInfo); empty when the text is not a JSON array of sections.
    [[nodiscard]] static QList<RealExamSection> listFromText(const QString &text);

    bool operator==(const RealExamSection &) const = default;
};

size_t qHash(const RealExamSection &section, size_t seed = 0);
