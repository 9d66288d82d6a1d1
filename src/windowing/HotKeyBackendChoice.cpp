#include "HotKeyBackendChoice.h"

#include "PortalHotKeyBackend.h"
#include "XcbHotKeyBackend.h"

#include <QDBusConnection>

namespace {

// Holds nothing and says why: the settings row then explains instead of
// showing a combination that would do nothing.
class NoHotKeyBackend final : public HotKeyBackend
{
public:
    explicit NoHotKeyBackend(Availability reason)
        : m_reason(reason)
    {
    }
    [[nodiscard]] Availability availability() const override { return m_reason; }
    Registration registerHotKey(quint32, quint32) override { return {unavailable, 0}; }
    void unregisterHotKey(quint64) override {}
    void installHandler(std::function<void()>) override {}
    void removeHandler() override {}

private:
    Availability m_reason;
};

} // namespace

namespace HotKeyBackendChoice {

bool isWaylandSession(const QProcessEnvironment &environment)
{
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || environment.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QLatin1String("wayland"), Qt::CaseInsensitive)
        == 0;
}

Kind choose(bool waylandSession, bool portalOffersShortcuts)
{
    if (!waylandSession)
        return Kind::x11Grab;
    return portalOffersShortcuts ? Kind::portal : Kind::none;
}

std::unique_ptr<HotKeyBackend> make()
{
    const bool wayland = isWaylandSession(QProcessEnvironment::systemEnvironment());
    // The portal is asked only where it is needed: the question may start it.
    // The program names itself first (its desktop entry), as portals that keep
    // shortcuts per program want it before any other call.
    if (wayland)
        PortalHotKeyBackend::registerHostApplication(QDBusConnection::sessionBus(), QStringLiteral("vuzo"));
    const bool offered = wayland && PortalHotKeyBackend::isOffered(QDBusConnection::sessionBus());
    switch (choose(wayland, offered)) {
    case Kind::portal:
        return std::make_unique<PortalHotKeyBackend>(QDBusConnection::sessionBus());
    case Kind::none:
        return std::make_unique<NoHotKeyBackend>(HotKeyBackend::Availability::waylandWithoutPortal);
    case Kind::x11Grab:
        break;
    }
    return std::make_unique<XcbHotKeyBackend>();
}

} // namespace HotKeyBackendChoice
