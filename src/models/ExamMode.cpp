#include "ExamMode.h"

namespace ExamModes {

QList<ExamMode> allCases()
{
    return {ExamMode::practice, ExamMode::review};
}

std::optional<ExamMode> fromRawValue(qint64 raw)
{
    switch (raw) {
    case 0:
        return ExamMode::practice;
    case 1:
        return ExamMode::review;
    default:
        return std::nullopt;
    }
}

} // namespace ExamModes
