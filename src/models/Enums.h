#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// Which screen the main panel shows.
enum class AppScreen { login, home, purchase, questions, report, analysis, collections, history };

// Which service environment the application model considers current.
enum class APIEnvironment { test, production };

namespace APIEnvironments {
[[nodiscard]] QList<APIEnvironment> allCases();
[[nodiscard]] QString rawValue(APIEnvironment environment);
[[nodiscard]] inline QString id(APIEnvironment environment) { return rawValue(environment); }
[[nodiscard]] std::optional<APIEnvironment> fromRawValue(const QString &raw);
}

// State of the auto-hiding panel.
enum class HoverWindowState { hidden, showing, visible, hiding, suspended };

namespace HoverWindowStates {
[[nodiscard]] QString rawValue(HoverWindowState state);
[[nodiscard]] std::optional<HoverWindowState> fromRawValue(const QString &raw);
}

// Why auto-hide is paused; held as a set.
enum class SuspensionReason {
    windowMoving,
    windowResizing,
    textEditing,
    menuPresented,
    popupPresented,
    dragAndDrop,
    modalPresented,
    manualPause,
};

inline size_t qHash(AppScreen v, size_t seed = 0) noexcept { return ::qHash(int(v), seed); }
inline size_t qHash(APIEnvironment v, size_t seed = 0) noexcept { return ::qHash(APIEnvironments::rawValue(v), seed); }
inline size_t qHash(HoverWindowState v, size_t seed = 0) noexcept { return ::qHash(HoverWindowStates::rawValue(v), seed); }
inline size_t qHash(SuspensionReason v, size_t seed = 0) noexcept { return ::qHash(int(v), seed); }
