#pragma once

#include <QList>
#include <QtGlobal>
#include <optional>

// The answering mode picked in the practice settings. Stored by its raw value.
enum class ExamMode : quint8 { practice = 0, review = 1 };

namespace ExamModes {
[[nodiscard]] QList<ExamMode> allCases();
[[nodiscard]] constexpr qint64 rawValue(ExamMode mode) { return qint64(mode); }
[[nodiscard]] constexpr qint64 id(ExamMode mode) { return rawValue(mode); }
// 0 practice, 1 review, anything else nothing.
[[nodiscard]] std::optional<ExamMode> fromRawValue(qint64 raw);
}

inline size_t qHash(ExamMode mode, size_t seed = 0) noexcept
{
    return ::qHash(int(mode), seed);
}
