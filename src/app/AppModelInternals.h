#pragma once

#include "models/CardMenu.h"
#include "networking/APIError.h"

#include <QtGlobal>
#include <exception>
#include <limits>
#include <optional>

// Small helpers shared by the AppModel operation files; not part of the
// model's interface.

namespace AppModelInternals {

// The kind of an APIError, or nothing for any other failure.
inline std::optional<APIError::Kind> apiErrorKind(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const APIError &apiError) {
        return apiError.kind();
    } catch (...) {
        return std::nullopt;
    }
}

inline bool isUnauthorized(const std::exception_ptr &error)
{
    return apiErrorKind(error) == APIError::Kind::unauthorized;
}

inline qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

} // namespace AppModelInternals
