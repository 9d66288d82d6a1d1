#include "PracticeHistoryRecord.h"

#include "models/LenientJson.h"

#include <QDateTime>
#include <QHashFunctions>
#include <QLocale>

using namespace Qt::StringLiterals;

PracticeHistoryRecord PracticeHistoryRecord::fromJson(const QJsonValue &value)
{
    const QJsonObject object = decodeObject(value);
    PracticeHistoryRecord record;
    record.id = flexibleString(object, "id"_L1);
    if (record.id.isEmpty())
        throw DecodingError::dataCorrupted(QStringLiteral("id"), QStringLiteral("缺少练习记录 ID"));
    record.examBankId = flexibleString(object, "examBankId"_L1);
    record.examName = flexibleString(object, "examName"_L1, QStringLiteral("练习记录"));
    record.examId = flexibleString(object, "examId"_L1);
    record.rightNum = flexibleInt(object, "rightNum"_L1, 0);
    record.wrongNum = flexibleInt(object, "wrongNum"_L1, 0);
    record.unAnswerNum = flexibleInt(object, "unAnswerNum"_L1, 0);
    record.examStatus = flexibleInt(object, "examStatus"_L1, 1);
    record.beginTime = flexibleString(object, "beginTime"_L1);
    return record;
}

QString PracticeHistoryRecord::formattedDate() const
{
    const QString unknown = QStringLiteral("时间未知");
    const auto milliseconds = LenientJson::doubleParse(beginTime);
    if (!milliseconds || !(*milliseconds > 0))
        return unknown;
    // Times past the end of year 9999 (inf included) have no sensible
    // "yyyy-MM-dd" form and are shown as unknown; so is anything the
    // conversion to whole milliseconds cannot hold.
    const auto whole = LenientJson::truncatedInt64(*milliseconds);
    constexpr qint64 endOf9999 = 253402300800000; // 10000-01-01 00:00 UTC
    if (!whole || *whole >= endOf9999)
        return unknown;
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(*whole); // local time
    if (!moment.isValid() || moment.date().year() > 9999)
        return unknown;
    // The user's own locale and time zone, as every date the system shows.
    return QLocale().toString(moment, u"yyyy-MM-dd HH:mm");
}

size_t qHash(const PracticeHistoryRecord &record, size_t seed)
{
    return qHashMulti(seed, record.id, record.examBankId, record.examName, record.examId, record.rightNum,
                      record.wrongNum, record.unAnswerNum, record.examStatus, record.beginTime);
}
