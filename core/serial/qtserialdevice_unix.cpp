#include "core/serial/qtserialdevice.h"

// The byte path on Unix: straight through the native handle. CMake builds this
// file on Unix only.

#include "core/serial/systemerrors.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>

QString QtSerialDevice::systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

Result<QString> QtSerialDevice::findDevice(const QString &path)
{
    const auto failed = [](int code) {
        return Error{Error::Kind::PortOpen, code, systemText(code)};
    };
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return failed(errno);
    // Only a terminal device can be a serial port: a regular file, a folder
    // or a FIFO that a name leads to ("../home/x" in /dev) is not even opened.
    if (!S_ISCHR(info.st_mode))
        return Error{Error::Kind::PortOpen, ENOTTY, QString::fromLatin1(kNotAPortText)};
    // Qt names its lock file after the path it opens ("LCK.." and the path
    // less "/dev/", with "_" for "/"). Opened through its links, one device
    // would have a lock per link, and a link longer than a file name may be
    // none at all; the device's own path is short wherever devices live.
    QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = path;
    if (QFile::encodeName(lockFileName(canonical)).size() > NAME_MAX)
        return Error{Error::Kind::PortOpen, ENAMETOOLONG,
                     QStringLiteral("The device's path is too long to name its lock file after.")};
    return canonical;
}

QString QtSerialDevice::lockFileName(const QString &device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(u'/', u'_');
    return QStringLiteral("LCK..") + name;
}

namespace {

// Where programs keep serial lock files, in the order Qt looks for a place.
QStringList lockFolders()
{
    return {QStringLiteral("/var/lock"),
            QStringLiteral("/etc/locks"),
            QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),
            QStringLiteral("/var/tmp"),
            QStringLiteral("/var/lock/lockdev"),
            QStringLiteral("/run/lock"),
            QStringLiteral("/data/local/tmp"),
            QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
}

// A lock file names its holder's process on its first line, in text (Qt,
// lockdev) or, from old programs, as a binary int; either way the holder
// counts only while that process runs.
bool heldByARunningProcess(const QString &lockPath)
{
    QFile file(lockPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(64);
    bool isText = false;
    qint64 pid = head.left(head.indexOf('\n')).trimmed().toLongLong(&isText);
    if (!isText && head.size() == int(sizeof(int))) {
        int binary = 0;
        std::memcpy(&binary, head.constData(), sizeof binary);
        pid = binary;
    }
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

Error QtSerialDevice::lockRefusal(const QString &device)
{
    const QString name = lockFileName(device);
    QString place; // where Qt wanted its lock
    for (const QString &folder : lockFolders()) {
        const QString path = folder + u'/' + name;
        if (heldByARunningProcess(path))
            return {Error::Kind::PortOpen, SystemErrors::kInUse, inUseText()};
        const QFileInfo info(folder);
        if (place.isEmpty() && info.isReadable() && (QFile::exists(path) || info.isWritable()))
            place = path;
    }
    // No running program holds the port: the lock could not be made, and the
    // user needs the reason, not the name of a holder that is not there.
    if (place.isEmpty())
        return {Error::Kind::PortOpen, SystemErrors::kAccessDenied,
                QStringLiteral("No folder for the port's lock file can be written.")};
    if (QFileInfo::exists(place))
        return {Error::Kind::PortOpen, EEXIST,
                QStringLiteral("The port's lock file \"%1\" is in the way, though no running "
                               "program holds it.")
                    .arg(place)};
    // Learn the system's reason by making a file where the lock would be.
    QFile probe(place + QStringLiteral(".zepta-probe-") + QString::number(::getpid()));
    int code = EIO;
    if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        probe.remove();
    else if (const int reason = errno; reason != 0)
        code = reason;
    return {Error::Kind::PortOpen, code,
            QStringLiteral("The port's lock file \"%1\" cannot be made: %2.")
                .arg(place, systemText(code))};
}

bool QtSerialDevice::meansGone(int code)
{
    // Failures after which the line will never carry a byte again.
    return code == EIO || code == ENXIO || code == ENODEV || code == EPIPE || code == EBADF;
}

bool QtSerialDevice::lineHungUp() const
{
    pollfd p{int(m_port->handle()), POLLIN | POLLOUT, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

Result<qint64> QtSerialDevice::bytesWaiting()
{
    constexpr Error::Kind kStatus = Error::Kind::PortStatus;
    if (!usable())
        return failure(kStatus);
    int queued = 0;
    if (::ioctl(int(m_port->handle()), FIONREAD, &queued) < 0) {
        const int code = errno;
        failFromErrno(code);
        if (meansGone(code))
            reportLoss(m_error);
        return failure(kStatus);
    }
    const qint64 waiting = m_port->bytesAvailable() + queued;
    if (waiting == 0 && lineHungUp()) {
        reportLoss(systemError(EIO));
        return failure(kStatus);
    }
    return waiting;
}

Result<qint64> QtSerialDevice::readAvailable(char *data, qint64 maxSize)
{
    if (!usable())
        return failure(Error::Kind::PortRead);
    // Qt's notifier may have fetched the older bytes already; they come first.
    qint64 got = 0;
    if (m_port->bytesAvailable() > 0)
        got = std::max<qint64>(0, m_port->read(data, maxSize));
    const int fd = int(m_port->handle());
    while (got < maxSize) {
        const ssize_t n = ::read(fd, data + got, size_t(maxSize - got));
        if (n > 0) {
            got += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // A raw line with VMIN = 0 reads 0 when empty; a hung-up one reads 0 for ever.
        const int code = n < 0 ? errno : (lineHungUp() ? EIO : 0);
        if (code == 0)
            break;
        // Bytes already taken are handed over; the failure shows on the next call.
        if (got > 0)
            break;
        failFromErrno(code);
        if (meansGone(code) || lineHungUp())
            reportLoss(m_error);
        return failure(Error::Kind::PortRead);
    }
    return got;
}

bool QtSerialDevice::waitForReadyRead(int msecs)
{
    if (!usable())
        return false;
    // A hang-up wakes us too; the next read tells what happened.
    return m_port->bytesAvailable() > 0 || pollHandle(POLLIN, msecs);
}

Result<qint64> QtSerialDevice::writeSome(const char *data, qint64 size)
{
    if (!usable())
        return failure(Error::Kind::PortWrite);
    if (size <= 0)
        return qint64(0);
    // Straight to the kernel, never through Qt's buffer: the count is then
    // what the kernel accepted, and nothing queued in Qt can be dropped later.
    for (;;) {
        const ssize_t n = ::write(int(m_port->handle()), data, size_t(size));
        if (n >= 0)
            return qint64(n);
        const int code = errno;
        if (code == EINTR)
            continue;
        if (code == EAGAIN || code == EWOULDBLOCK)
            return qint64(0); // queue full, or CTS held low
        failFromErrno(code);
        if (meansGone(code) || lineHungUp())
            reportLoss(m_error);
        return failure(Error::Kind::PortWrite);
    }
}

bool QtSerialDevice::queueIsUntold() const
{
#ifdef Q_OS_LINUX
    // The slaves of Unix98 pseudo-terminals have the majors 136 to 143.
    struct stat info = {};
    if (::fstat(int(m_port->handle()), &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const unsigned int kind = major(info.st_rdev);
    return kind >= 136 && kind <= 143;
#else
    return false;
#endif
}

Result<qint64> QtSerialDevice::bytesQueued()
{
    if (!usable())
        return failure(Error::Kind::PortWrite);
    // Two system calls a write saved: a long playback of short lines into a
    // pseudo-terminal spends its time on them otherwise.
    if (m_queueUntold)
        return qint64(0);
    int queued = 0;
    if (::ioctl(int(m_port->handle()), TIOCOUTQ, &queued) < 0) {
        const int code = errno;
        failFromErrno(code);
        if (meansGone(code))
            reportLoss(m_error);
        return failure(Error::Kind::PortWrite);
    }
    return qint64(std::max(0, queued));
}

bool QtSerialDevice::waitForWritable(int msecs)
{
    return usable() && pollHandle(POLLOUT, msecs);
}

bool QtSerialDevice::pollHandle(short events, int msecs) const
{
    pollfd p{int(m_port->handle()), events, 0};
    int r = 0;
    do {
        r = ::poll(&p, 1, std::max(0, msecs));
    } while (r < 0 && errno == EINTR);
    return r > 0;
}

void QtSerialDevice::drainOutput()
{
    const int fd = int(m_port->handle());
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) < 0 || queued <= 0)
        return;
    // Twice the time the bytes need on the line (10 bits each), but never more
    // than a second: with CTS held low they would never leave.
    const qint64 needMs = qint64(queued) * 10 * 1000 / std::max<qint32>(1, m_port->baudRate());
    const QDeadlineTimer deadline(std::min<qint64>(2 * needMs + 50, 1000));
    while (!deadline.hasExpired() && ::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0)
        QThread::msleep(2);
}
