#include "app/sim/ptybridge.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

PtyBridge::PtyBridge(SimulatedModule &module, std::function<void(const QString &)> lineOut,
                     QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_lineOut(std::move(lineOut))
{
    m_pumpTimer.setInterval(kPumpMs);
    connect(&m_pumpTimer, &QTimer::timeout, this, &PtyBridge::pump);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        m_module.model().log().closeTextRun();
        printFinished(true);
    });
}

PtyBridge::~PtyBridge()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyBridge::open(QString *error)
{
    // Raw, so that every byte value crosses unchanged: no echo, no line
    // editing, no XON/XOFF, no CR/LF mapping.
    termios raw{};
    cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // The bridge keeps the slave open too, so that the terminal stays usable
    // (and quiet) between one program closing it and the next opening it.
    for (int fd : {m_master, m_slave})
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
    m_readable = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &PtyBridge::pump);
    return true;
}

void PtyBridge::readInput()
{
    const qsizetype room = ModuleLine::kTransmitFifo - m_pending.size();
    if (room <= 0)
        return;
    char buffer[ModuleLine::kTransmitFifo];
    const ssize_t n = ::read(m_master, buffer, size_t(room));
    if (n > 0) {
        m_pending.append(buffer, n);
        m_quiet.start();
    }
}

void PtyBridge::writeReplies()
{
    ModuleLine &line = m_module.line();
    const qint64 waiting = line.bytesWaiting();
    if (waiting > 0) {
        QByteArray bytes(waiting, '\0');
        bytes.resize(line.read(bytes.data(), waiting));
        m_replies.append(bytes);
    }
    if (m_replies.isEmpty())
        return;
    const ssize_t n = ::write(m_master, m_replies.constData(), size_t(m_replies.size()));
    if (n > 0)
        m_replies.remove(0, n);
}

void PtyBridge::pump()
{
    ModuleLine &line = m_module.line();
    line.advance();
    readInput();
    const qint64 taken = line.write(m_pending.constData(), m_pending.size());
    m_pending.remove(0, taken);
    writeReplies();
    printFinished(false);

    // While bytes wait for the line, the terminal is not read: they back up in it.
    const bool busy = !m_pending.isEmpty() || !line.idle() || !m_replies.isEmpty();
    m_readable->setEnabled(m_pending.isEmpty());
    if (busy && !m_pumpTimer.isActive())
        m_pumpTimer.start();
    else if (!busy)
        m_pumpTimer.stop();
}

void PtyBridge::printFinished(bool all)
{
    const std::deque<LogEntry> &entries = m_module.model().log().entries();
    if (entries.empty())
        return;
    // Serials count up by one, so the unprinted entries are the last few.
    const quint64 unprinted = entries.back().serial - std::min(m_printed, entries.back().serial);
    const size_t first = entries.size() - size_t(std::min<quint64>(unprinted, entries.size()));
    const bool lastOpen = !all && m_module.model().log().textRunOpen();
    for (size_t i = first; i < entries.size(); ++i) {
        if (lastOpen && i + 1 == entries.size())
            break; // a run of characters may still grow
        m_lineOut(CommandLog::line(entries[i]));
        m_printed = entries[i].serial;
    }
}

void PtyBridge::flushLog()
{
    m_module.line().advance();
    printFinished(true);
}
