#include "Enums.h"

namespace APIEnvironments {

QList<APIEnvironment> allCases()
{
    return {APIEnvironment::test, APIEnvironment::production};
}

QString rawValue(APIEnvironment environment)
{
    switch (environment) {
    case APIEnvironment::test:
        return QStringLiteral("test");
    case APIEnvironment::production:
        break;
    }
    return QStringLiteral("production");
}

std::optional<APIEnvironment> fromRawValue(const QString &raw)
{
    for (const auto environment : allCases()) {
        if (rawValue(environment) == raw)
            return environment;
    }
    return std::nullopt;
}

} // namespace APIEnvironments

namespace HoverWindowStates {

QString rawValue(HoverWindowState state)
{
    switch (state) {
    case HoverWindowState::hidden:
        return QStringLiteral("hidden");
    case HoverWindowState::showing:
        return QStringLiteral("showing");
    case HoverWindowState::visible:
        return QStringLiteral("visible");
    case HoverWindowState::hiding:
        return QStringLiteral("hiding");
    case HoverWindowState::suspended:
        break;
    }
    return QStringLiteral("suspended");
}

std::optional<HoverWindowState> fromRawValue(const QString &raw)
{
    for (const auto state : {HoverWindowState::hidden, HoverWindowState::showing, HoverWindowState::visible,
                             HoverWindowState::hiding, HoverWindowState::suspended}) {
        if (rawValue(state) == raw)
            return state;
    }
    return std::nullopt;
}

} // namespace HoverWindowStates
