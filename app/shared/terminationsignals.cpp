#include "app/shared/terminationsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal handler cannot reach an object, so the write end of the pipe has to
// be a plain file-level value; it is set and cleared only by the one instance.
volatile sig_atomic_t g_writeFd = -1;
volatile sig_atomic_t g_received = 0;
int g_readFd = -1;

void restoreDefault(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
}

void onSignal(int signalNumber)
{
    const int fd = g_writeFd;
    if (fd < 0)
        return;
    if (g_received) {
        // The orderly end the first signal asked for has not come (a program
        // stuck in a wait): this one ends it the way it would without us.
        restoreDefault(signalNumber);
        ::raise(signalNumber);
        return;
    }
    g_received = 1;
    const int saved = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    errno = saved;
}

bool install(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(signalNumber, &action, nullptr) == 0;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (g_writeFd >= 0)
        return; // another instance already listens
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return;
    for (int fd : fds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    g_readFd = fds[0];
    g_writeFd = fds[1];
    g_received = 0;
    m_notifier = new QSocketNotifier(g_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    install(SIGINT);
    install(SIGTERM);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    restoreDefault(SIGINT);
    restoreDefault(SIGTERM);
    delete m_notifier;
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(g_readFd);
    g_readFd = -1;
}

void TerminationSignals::readPipe()
{
    char bytes[16];
    ssize_t n;
    while ((n = ::read(g_readFd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            emit received(int(quint8(bytes[i])));
    }
}

#else

// Other platforms end console programs their own way; nothing to catch.
TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readPipe()
{
}

#endif
