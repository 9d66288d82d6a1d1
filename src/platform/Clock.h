#pragma once

#include <QDateTime>
#include <QtGlobal>
#include <functional>

// The wall clock, injectable so that tests control "now" (membership validity,
// default times, session expiry).
class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds since 1970-01-01 00:00 UTC.
    [[nodiscard]] virtual qint64 nowMilliseconds() const = 0;
    [[nodiscard]] double nowSeconds() const { return double(nowMilliseconds()) / 1000.0; }
    [[nodiscard]] QDateTime now() const { return QDateTime::fromMSecsSinceEpoch(nowMilliseconds()); }

    // The process-wide clock; the system clock unless a test installed another.
    static Clock &shared();
    static void setShared(Clock *clock); // nullptr restores the system clock
};

class SystemClock final : public Clock
{
public:
    [[nodiscard]] qint64 nowMilliseconds() const override { return QDateTime::currentMSecsSinceEpoch(); }
};

// A clock that only moves when told to.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(qint64 ms = 0) : m_ms(ms) { }
    [[nodiscard]] qint64 nowMilliseconds() const override { return m_ms; }
    void set(qint64 ms) { m_ms = ms; }
    void advance(qint64 ms) { m_ms += ms; }

private:
    qint64 m_ms;
};
