#include "PracticeHistoryTab.h"

namespace PracticeHistoryTabs {

QList<PracticeHistoryTab> allCases()
{
    return {PracticeHistoryTab::practice, PracticeHistoryTab::paper};
}

std::optional<PracticeHistoryTab> fromRawValue(qint64 raw)
{
    switch (raw) {
    case 1:
        return PracticeHistoryTab::practice;
    case 2:
        return PracticeHistoryTab::paper;
    default:
        return std::nullopt;
    }
}

} // namespace PracticeHistoryTabs
