#pragma once

#include <QJsonValue>
#include <QList>
#include <QtGlobal>
#include <optional>

// The kind of a question; the raw values are what the service sends.
enum class QuestionType : quint8 { single = 1, multiple = 2, answer = 3 };

namespace QuestionTypes {
[[nodiscard]] QList<QuestionType> allCases();
[[nodiscard]] constexpr qint64 rawValue(QuestionType type) { return qint64(type); }
// 1, 2, 3 give the case; every other integer gives nothing.
[[nodiscard]] std::optional<QuestionType> fromRawValue(qint64 raw);
// How wire records read a question type: 2 multiple, 3 answer, anything else single.
[[nodiscard]] QuestionType fromLenientRawValue(qint64 raw);
// Strict form: a whole JSON number 1, 2 or 3. Another integer is data
// corrupted, a non-number a type mismatch (DecodingError).
[[nodiscard]] QuestionType fromJson(const QJsonValue &value);
[[nodiscard]] inline QJsonValue toJson(QuestionType type) { return QJsonValue(rawValue(type)); }
}

inline size_t qHash(QuestionType type, size_t seed = 0) noexcept
{
    return ::qHash(int(type), seed);
}
