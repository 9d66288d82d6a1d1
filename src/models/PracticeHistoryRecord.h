#pragma once

#include <QJsonValue>
#include <QString>

// One row of the practice history; identified by `id`. Decoding fails with a
// data-corrupted DecodingError ("缺少练习记录 ID") when the id is empty.
struct PracticeHistoryRecord
{
    QString id;
    QString examBankId;
    QString examName = QStringLiteral("练习记录");
    QString examId;
    qint64 rightNum = 0;
    qint64 wrongNum = 0;
    qint64 unAnswerNum = 0;
    qint64 examStatus = 1; // 2: completed; anything else can be resumed
    QString beginTime;     // decimal milliseconds since 1970 UTC

    [[nodiscard]] static PracticeHistoryRecord fromJson(const QJsonValue &value);

    // beginTime as "yyyy-MM-dd HH:mm" in local time, or "时间未知".
    [[nodiscard]] QString formattedDate() const;

    bool operator==(const PracticeHistoryRecord &) const = default;
};

size_t qHash(const PracticeHistoryRecord &record, size_t seed = 0);
