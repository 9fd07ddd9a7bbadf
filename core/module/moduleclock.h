#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <algorithm>

// The simulated module's sense of time, in nanoseconds from an arbitrary start.
// The line pacing, the wait action and every blinking thing read it; tests give
// the module a clock they move by hand, so that nothing in them sleeps.
class ModuleClock
{
public:
    virtual ~ModuleClock() = default;
    virtual qint64 nowNs() const = 0;
    // Blocks until the given time (a hand-moved clock jumps there instead).
    virtual void sleepUntil(qint64 ns) = 0;
};

// Real time, from a monotonic clock.
class SteadyModuleClock : public ModuleClock
{
public:
    SteadyModuleClock() { m_timer.start(); }
    qint64 nowNs() const override { return m_timer.nsecsElapsed(); }
    void sleepUntil(qint64 ns) override;

private:
    QElapsedTimer m_timer;
};

// A clock the caller moves; sleeping moves it to the time asked for.
class ManualModuleClock : public ModuleClock
{
public:
    qint64 nowNs() const override { return m_now; }
    void sleepUntil(qint64 ns) override { m_now = std::max(m_now, ns); }
    void advanceMs(double ms) { m_now += qint64(ms * 1e6); }
    void setNs(qint64 ns) { m_now = ns; }

private:
    qint64 m_now = 0;
};
