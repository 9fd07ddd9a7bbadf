#include "support/portend.h"

#include "core/module/simulatordevice.h"
#include "core/serial/qtserialdevice.h"

#include <QDeadlineTimer>
#include <QThread>

#ifdef Q_OS_UNIX
#include "support/pseudoterminal.h"
#endif

namespace {

// Real time that the far end can move on at once, as if the module had been
// left alone for a while.
class SkippingClock : public SteadyModuleClock
{
public:
    qint64 nowNs() const override { return SteadyModuleClock::nowNs() + m_skippedNs; }
    void skipTo(qint64 ns) { m_skippedNs += std::max<qint64>(0, ns - nowNs()); }

private:
    qint64 m_skippedNs = 0;
};

// The simulated module. What it received is what its decoded-command list
// accounts for, byte by byte; what it sends goes back on its line. It holds
// off as the module does, with its busy line during a long wait action, and it
// cannot go away.
class SimulatorPortEnd : public PortEnd
{
public:
    std::unique_ptr<SerialDevice> makeDevice() override
    {
        return std::make_unique<SimulatorDevice>(m_module);
    }
    PortAddress address() const override { return PortAddress::simulator(); }

    bool send(const QByteArray &bytes) override
    {
        m_module->line().send(bytes);
        return true;
    }
    QByteArray receive(qsizetype count, int timeoutMs) override
    {
        // The module reads at the line's steady rate: the time-out is for all of them.
        const QDeadlineTimer deadline(timeoutMs);
        while (received().size() - m_taken < count && !deadline.hasExpired()) {
            QThread::msleep(1);
            m_module->line().advance();
        }
        QByteArray got = received().mid(m_taken, count);
        m_taken += got.size();
        return got;
    }
    void holdOff(bool held) override
    {
        ModuleModel &model = m_module->model();
        if (held) {
            model.receive(QByteArray::fromHex("1f286101ff")); // a wait action, 127.5 s
            return;
        }
        m_clock->skipTo(model.holdUntil());
        m_module->line().advance();
        m_taken = received().size();
    }
    bool hangUp() override { return false; }

private:
    // Every byte the module read, in order: its list's entries, then a
    // sequence still waiting for its parameters.
    QByteArray received() const
    {
        const ModuleModel &model = m_module->model();
        QByteArray bytes;
        for (const LogEntry &entry : model.log().entries())
            bytes += entry.bytes;
        return bytes + model.pendingBytes();
    }

    std::shared_ptr<SkippingClock> m_clock = std::make_shared<SkippingClock>();
    std::shared_ptr<SimulatedModule> m_module = std::make_shared<SimulatedModule>(m_clock);
    qsizetype m_taken = 0;
};

#ifdef Q_OS_UNIX
class PtyPortEnd : public PortEnd
{
public:
    std::unique_ptr<SerialDevice> makeDevice() override
    {
        return std::make_unique<QtSerialDevice>();
    }
    PortAddress address() const override { return PortAddress::device(m_pty.slavePath()); }

    bool send(const QByteArray &bytes) override { return m_pty.writeMaster(bytes); }
    QByteArray receive(qsizetype count, int timeoutMs) override
    {
        return m_pty.readMaster(count, timeoutMs);
    }
    // Not reading is all it takes: the line's buffer fills up and stays full.
    void holdOff(bool held) override
    {
        if (!held)
            (void)m_pty.readMaster(1 << 20, 0);
    }
    bool hangUp() override
    {
        m_pty.closeMaster();
        m_pty.closeSlave();
        return true;
    }

private:
    PseudoTerminal m_pty;
};
#endif

} // namespace

std::unique_ptr<PortEnd> makeSimulatorPortEnd()
{
    return std::make_unique<SimulatorPortEnd>();
}

#ifdef Q_OS_UNIX
std::unique_ptr<PortEnd> makePtyPortEnd()
{
    return std::make_unique<PtyPortEnd>();
}
#endif
