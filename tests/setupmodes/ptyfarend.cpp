#include "ptyfarend.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

void makeRaw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
}

} // namespace

PtyFarEnd::PtyFarEnd()
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_path = QString::fromLocal8Bit(name);
    makeRaw(m_master);
    makeRaw(m_slave);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyFarEnd::readSome);
}

PtyFarEnd::~PtyFarEnd()
{
    delete m_notifier;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

void PtyFarEnd::answer(const QByteArray &request, const QByteArray &reply)
{
    m_answers.append({request, reply});
}

void PtyFarEnd::send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return;
        if (n > 0)
            done += n;
    }
}

bool PtyFarEnd::ctsHandshakeSet() const
{
    termios t{};
    return tcgetattr(m_slave, &t) == 0 && (t.c_cflag & CRTSCTS) != 0;
}

void PtyFarEnd::readSome()
{
    char buffer[256];
    ssize_t n = 0;
    bool any = false;
    while ((n = ::read(m_master, buffer, sizeof buffer)) > 0) {
        m_received.append(buffer, n);
        any = true;
    }
    if (!any)
        return;
    if (onReceived)
        onReceived(m_received);
    for (qsizetype i = 0; i < m_answers.size(); ++i) {
        if (m_received.endsWith(m_answers[i].first)) {
            const QByteArray reply = m_answers.takeAt(i).second;
            send(reply);
            break;
        }
    }
}
