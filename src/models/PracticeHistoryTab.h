#pragma once

#include <QList>
#include <QtGlobal>
#include <optional>

// The two tabs of the practice history; the raw value is what the history
// list request sends as its exam type.
enum class PracticeHistoryTab : quint8 { practice = 1, paper = 2 };

namespace PracticeHistoryTabs {
[[nodiscard]] QList<PracticeHistoryTab> allCases();
[[nodiscard]] constexpr qint64 rawValue(PracticeHistoryTab tab) { return qint64(tab); }
[[nodiscard]] constexpr qint64 id(PracticeHistoryTab tab) { return rawValue(tab); }
// 1 practice, 2 paper, anything else nothing.
[[nodiscard]] std::optional<PracticeHistoryTab> fromRawValue(qint64 raw);
}

inline size_t qHash(PracticeHistoryTab tab, size_t seed = 0) noexcept
{
    return ::qHash(int(tab), seed);
}
