#include "support/portend.h"

#include "core/module/simulatordevice.h"
#include "core/serial/qtserialdevice.h"
#include "support/fakeserialdevice.h"

#include <QDeadlineTimer>
#include <QThread>

#ifdef Q_OS_UNIX
#include "support/pseudoterminal.h"

#include <unistd.h>
#endif

namespace {

const QString kFakePath = QStringLiteral("/dev/ttyFAKE0");

// Moves the line on until it has carried count bytes or timeoutMs passed
// without a new one; carried() tells how many it has carried so far.
void awaitBytes(qsizetype count, int timeoutMs, const std::function<void()> &moveOn,
                const std::function<qsizetype()> &carried)
{
    QDeadlineTimer quiet(timeoutMs);
    qsizetype seen = carried();
    while (seen < count && !quiet.hasExpired()) {
        QThread::msleep(1);
        moveOn();
        if (carried() > seen) {
            seen = carried();
            quiet.setRemainingTime(timeoutMs);
        }
    }
}

class FakePortEnd : public PortEnd
{
public:
    // A queue makes the fake a UART at 115200 baud: bytes leave at 11,520 per second.
    explicit FakePortEnd(qint64 queueCapacity)
    {
        m_line->devicePath = kFakePath;
        m_line->queueCapacity = queueCapacity;
    }

    std::unique_ptr<SerialDevice> makeDevice() override
    {
        return std::make_unique<FakeSerialDevice>(m_line);
    }
    PortAddress address() const override { return PortAddress::device(kFakePath); }
    PortAddress missingAddress() const override
    {
        return PortAddress::device(QStringLiteral("/dev/ttyFAKE9"));
    }

    bool send(const QByteArray &bytes) override
    {
        m_line->input += bytes;
        return true;
    }
    QByteArray receive(qsizetype count, int timeoutMs) override
    {
        awaitBytes(
            count, timeoutMs, [this] { m_line->advance(); },
            [this] { return m_line->wire.size(); });
        QByteArray got = m_line->wire.left(count);
        m_line->wire.remove(0, got.size());
        return got;
    }
    void holdOff(bool held) override
    {
        m_line->advance();
        m_line->heldOff = held;
        if (!held) {
            m_line->wire.clear();
            m_line->queue.clear();
        }
    }
    void hangUp() override
    {
        if (m_line->openedBy)
            m_line->openedBy->vanish();
    }

private:
    std::shared_ptr<FakeSerialDevice::Line> m_line = std::make_shared<FakeSerialDevice::Line>();
};

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
    PortAddress missingAddress() const override { return PortAddress::fromName("ttyS99"); }

    bool can(Ability ability) const override { return ability != Ability::HangUp; }
    bool send(const QByteArray &bytes) override
    {
        m_module->line().send(bytes);
        return true;
    }
    QByteArray receive(qsizetype count, int timeoutMs) override
    {
        awaitBytes(
            count, timeoutMs, [this] { m_module->line().advance(); },
            [this] { return received().size() - m_taken; });
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
    void hangUp() override {}

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
    PortAddress missingAddress() const override
    {
        return PortAddress::device(QStringLiteral("/dev/zepta-no-such-port"));
    }

    bool send(const QByteArray &bytes) override { return m_pty.writeMaster(bytes); }
    QByteArray receive(qsizetype count, int timeoutMs) override
    {
        return m_pty.readMaster(count, timeoutMs);
    }
    // Not reading is all it takes: the line's buffer fills up and stays full.
    void holdOff(bool held) override
    {
        if (held)
            return;
        char buffer[4096];
        while (::read(m_pty.masterFd(), buffer, sizeof buffer) > 0) {
        }
    }
    void hangUp() override
    {
        m_pty.closeMaster();
        m_pty.closeSlave();
    }

private:
    PseudoTerminal m_pty;
};
#endif

} // namespace

std::unique_ptr<PortEnd> makeFakePortEnd()
{
    return std::make_unique<FakePortEnd>(0);
}

std::unique_ptr<PortEnd> makeQueuedFakePortEnd()
{
    return std::make_unique<FakePortEnd>(4096);
}

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
