#include "support/pseudoterminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

PseudoTerminal::PseudoTerminal()
{
    // Raw (the master end is raw from birth): no echo, no line editing, no
    // XON/XOFF, no CR/LF mapping, so that every byte value crosses unchanged.
    termios raw{};
    cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, O_NONBLOCK);
    // A program the test starts must not inherit either end: the line would
    // then never go away when the test closes it.
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal()
{
    closeMaster();
    closeSlave();
}

bool PseudoTerminal::writeMaster(const QByteArray &bytes)
{
    return ::write(m_master, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
}

QByteArray PseudoTerminal::readMaster(qsizetype count, int timeoutMs)
{
    QByteArray out;
    char buf[4096];
    pollfd p{m_master, POLLIN, 0};
    while (out.size() < count && ::poll(&p, 1, timeoutMs) > 0) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

// Closing an end that is closed already is a harmless EBADF.
void PseudoTerminal::closeMaster()
{
    ::close(std::exchange(m_master, -1));
}

void PseudoTerminal::closeSlave()
{
    ::close(std::exchange(m_slave, -1));
}
