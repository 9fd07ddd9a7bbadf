#include "app/sim/porttap.h"

#include "app/shared/terminaltext.h"
#include "core/module/shadowmodule.h"

#include <QScopedValueRollback>
#include <QSocketNotifier>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// However long the module holds CTS low, the write waits: the program is held
// up, as it would be on the module's own port, and no byte is dropped.
constexpr int kWriteWaitPerByteMs = 24 * 3600 * 1000;

// A non-blocking terminal that has nothing now, or was interrupted.
bool isTransient(int code)
{
    return code == EAGAIN || code == EWOULDBLOCK || code == EINTR;
}

} // namespace

PortTap::PortTap(SerialDeviceFactory factory, ShadowModule &shadow,
                 std::function<void(const QString &)> lineOut, QObject *parent)
    : QObject(parent)
    , m_port(std::move(factory))
    , m_shadow(shadow)
    , m_printer(shadow.model().log(), std::move(lineOut))
{
    m_buffer.reserve(kBufferSize);
    m_port.setTimeouts(SerialLine::kReadTimeoutMs, kWriteWaitPerByteMs);
    m_shadow.follow(m_port);
    connect(&m_port, &SerialLine::readyRead, this, &PortTap::passToProgram);
    connect(&m_port, &SerialLine::lost, this, &PortTap::moduleLost);
}

PortTap::~PortTap()
{
    m_port.close();
}

Result<void> PortTap::openPort(const QString &portName, const LineSettings &settings)
{
    m_portName = portName;
    return m_port.open(PortAddress::fromName(portName), settings);
}

bool PortTap::openTerminal(QString *error)
{
    if (!m_terminal.open(error))
        return false;
    m_fromProgram = new QSocketNotifier(m_terminal.master(), QSocketNotifier::Read, this);
    connect(m_fromProgram, &QSocketNotifier::activated, this, &PortTap::passToModule);
    m_toProgram = new QSocketNotifier(m_terminal.master(), QSocketNotifier::Write, this);
    m_toProgram->setEnabled(false);
    connect(m_toProgram, &QSocketNotifier::activated, this, &PortTap::passToProgram);
    return true;
}

void PortTap::stop()
{
    m_stopped = true;
    m_port.setWriteAbandoned(true);
    for (QSocketNotifier *notifier : {m_fromProgram, m_toProgram}) {
        if (notifier)
            notifier->setEnabled(false);
    }
}

bool PortTap::readFromProgram()
{
    // The bytes before m_done have left. They are let go only while none is in
    // flight: the port knows those by their address, so nothing may move.
    if (m_done > 0 && m_port.bytesInFlight() == 0) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + m_done);
        m_done = 0;
    }
    const size_t room = size_t(kBufferSize) - m_buffer.size();
    if (room == 0)
        return true;
    const size_t had = m_buffer.size();
    m_buffer.resize(had + room); // within the reserved memory: nothing moves
    const ssize_t n = ::read(m_terminal.master(), m_buffer.data() + had, room);
    const int code = n < 0 ? errno : 0;
    m_buffer.resize(had + size_t(std::max<ssize_t>(n, 0)));
    if (n > 0)
        m_printer.bytesMoved();
    if (n < 0 && !isTransient(code)) {
        programLost(code);
        return false;
    }
    return true;
}

void PortTap::passToModule()
{
    // Writing lets events run, this notifier's among them: one pass at a time.
    if (m_writing || m_stopped)
        return;
    const QScopedValueRollback<bool> writing(m_writing, true);
    m_fromProgram->setEnabled(false);
    for (;;) {
        if (!readFromProgram())
            return;
        if (m_done == qsizetype(m_buffer.size()))
            break;
        // From the first byte that did not leave: those still in flight, and
        // new ones up to a whole write.
        const qsizetype end = std::min<qsizetype>(m_done + kChunkSize, qsizetype(m_buffer.size()));
        const Result<int> left =
            m_port.write(QByteArrayView(m_buffer.data() + m_done, end - m_done));
        if (m_stopped)
            return;
        if (!left) {
            moduleLost(left.error());
            return;
        }
        m_done += *left;
        m_printer.print();
    }
    m_fromProgram->setEnabled(true);
}

void PortTap::passToProgram()
{
    if (m_stopped || !m_port.isOpen())
        return;
    if (m_replies.size() < kReplyLimit) {
        const Result<QByteArray> got = m_port.readWaiting(kReplyLimit - m_replies.size());
        if (!got) {
            moduleLost(got.error());
            return;
        }
        if (!got->isEmpty()) {
            m_replies += *got;
            m_printer.bytesMoved();
            m_printer.print();
        }
    }
    if (m_replies.isEmpty())
        return;
    const ssize_t n = ::write(m_terminal.master(), m_replies.constData(), size_t(m_replies.size()));
    if (n > 0) {
        m_replies.remove(0, n);
    } else if (n < 0 && !isTransient(errno)) {
        programLost(errno);
        return;
    }
    // The rest goes when the program has read some.
    m_toProgram->setEnabled(!m_replies.isEmpty());
}

void PortTap::moduleLost(const Error &cause)
{
    if (m_stopped)
        return;
    stop();
    emit endLost(QStringLiteral("the module's end went away: ") +
                 TerminalText::portFailure(QStringLiteral("COM port error"), m_portName, cause));
}

void PortTap::programLost(int code)
{
    if (m_stopped)
        return;
    stop();
    emit endLost(QStringLiteral("the program's end went away: its terminal failed: ") +
                 QString::fromLocal8Bit(std::strerror(code)));
}
