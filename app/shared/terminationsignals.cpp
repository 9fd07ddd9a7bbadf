#include "app/shared/terminationsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace {

// How long the orderly end the first signal asked for has before a later
// signal may cut it short. A second signal at once is the same request again
// (GNU timeout signals its child, then the child's whole group); the way out
// of an end that hangs is a signal once this time has passed.
constexpr long long kGraceNs = 2'000'000'000;

// A signal handler cannot reach an object, so the write end of the pipe has to
// be a plain file-level value; it is set and cleared only by the one instance.
volatile sig_atomic_t g_writeFd = -1;
volatile sig_atomic_t g_received = 0;
volatile sig_atomic_t g_forcing = 0; // the signal that ends us once the grace is over
timespec g_firstAt = {};             // when the first signal came
int g_readFd = -1;

void restoreDefault(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
}

// Ends the program the way the signal would without us.
void endNow(int signalNumber)
{
    restoreDefault(signalNumber);
    ::raise(signalNumber);
}

long long nsSinceFirst()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - g_firstAt.tv_sec) * 1'000'000'000LL + (now.tv_nsec - g_firstAt.tv_nsec);
}

void onGraceOver(int)
{
    if (g_forcing)
        endNow(g_forcing);
}

void onSignal(int signalNumber)
{
    const int saved = errno;
    if (!g_received) {
        g_received = 1;
        clock_gettime(CLOCK_MONOTONIC, &g_firstAt);
        const char byte = char(signalNumber);
        const int fd = g_writeFd;
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
        }
    } else {
        // Past the grace the orderly end hangs, and this signal ends it now;
        // within it, at the end of the grace unless the program is gone by
        // then (alarm() counts whole seconds, so that is up to one later).
        const long long left = kGraceNs - nsSinceFirst();
        if (left <= 0) {
            endNow(signalNumber);
        } else if (!g_forcing) {
            g_forcing = signalNumber;
            ::alarm(unsigned((left + 999'999'999) / 1'000'000'000));
        }
    }
    errno = saved;
}

// The handlers never run inside one another.
bool install(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int blocked : {SIGINT, SIGTERM, SIGALRM})
        sigaddset(&action.sa_mask, blocked);
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
    ::alarm(0);
    g_received = 0;
    g_forcing = 0;
    g_readFd = fds[0];
    g_writeFd = fds[1];
    m_notifier = new QSocketNotifier(g_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    install(SIGALRM, onGraceOver);
    install(SIGINT, onSignal);
    install(SIGTERM, onSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    // The end a signal asked for goes on after us (the windows and the
    // application are torn down), and a repeat meanwhile is still the same
    // request; with no signal taken, the signals are given back.
    if (!g_received) {
        restoreDefault(SIGINT);
        restoreDefault(SIGTERM);
        restoreDefault(SIGALRM);
    }
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
