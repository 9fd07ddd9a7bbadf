#include "support/portend.h"

#include "core/serial/serialports.h"
#include "support/fakeserialdevice.h"

#include <QDeadlineTimer>
#include <QThread>

#ifdef Q_OS_UNIX
#include "support/pseudoterminal.h"

#include <unistd.h>
#endif

namespace {

const QString kFakePath = QStringLiteral("/dev/ttyFAKE0");

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
    QString path() const override { return kFakePath; }
    QString missingPath() const override { return QStringLiteral("/dev/ttyFAKE9"); }

    bool send(const QByteArray &bytes) override
    {
        m_line->input += bytes;
        return true;
    }
    QByteArray receive(qsizetype count, int timeoutMs) override
    {
        QDeadlineTimer quiet(timeoutMs);
        qsizetype seen = m_line->wire.size();
        while (m_line->wire.size() < count && !quiet.hasExpired()) {
            QThread::msleep(1);
            m_line->advance();
            if (m_line->wire.size() > seen) {
                seen = m_line->wire.size();
                quiet.setRemainingTime(timeoutMs);
            }
        }
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

#ifdef Q_OS_UNIX
class PtyPortEnd : public PortEnd
{
public:
    std::unique_ptr<SerialDevice> makeDevice() override
    {
        return systemSerialDeviceFactory()(path());
    }
    QString path() const override { return m_pty.slavePath(); }
    QString missingPath() const override { return QStringLiteral("/dev/zepta-no-such-port"); }

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

#ifdef Q_OS_UNIX
std::unique_ptr<PortEnd> makePtyPortEnd()
{
    return std::make_unique<PtyPortEnd>();
}
#endif
