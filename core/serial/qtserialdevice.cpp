#include "core/serial/qtserialdevice.h"

#include "core/serial/systemerrors.h"

#include <QMetaObject>

#include <algorithm>
#include <cerrno>

#ifndef Q_OS_WIN
#include <sys/file.h>
#endif

namespace {

using namespace SystemErrors;

// Qt's text when no lock directory can be written: a setup fault, not a holder.
const QString kNoLockDirectoryText = QStringLiteral("Permission error while creating lock file");

// Qt keeps the system's text of a failure but not its number.
int codeFor(QSerialPort::SerialPortError error, bool textIsErrno, const QString &text)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return kNotFound;
    case QSerialPort::PermissionError:
        // Without a system text behind it, Qt refused because of its lock
        // file: another program holds the port.
        if (textIsErrno || text == kNoLockDirectoryText)
            return kAccessDenied;
        return kInUse;
    case QSerialPort::OpenError:
        return kInUse;
    case QSerialPort::NotOpenError:
        return kBadHandle;
    case QSerialPort::UnsupportedOperationError:
        return kInvalid;
    case QSerialPort::TimeoutError:
        return kTimedOut;
    case QSerialPort::ResourceError:
        return kGone;
    default:
        return kIoFailure;
    }
}

} // namespace

QtSerialDevice::QtSerialDevice(QObject *parent)
    : SerialDevice(parent)
    , m_port(new QSerialPort(this))
{
    // Qt's own notifier fetches arriving bytes into its buffer, where
    // readAvailable() takes them first.
    connect(m_port, &QSerialPort::readyRead, this, &SerialDevice::readyRead);
}

QtSerialDevice::~QtSerialDevice()
{
    m_port->disconnect(this);
    QtSerialDevice::close(); // no virtual dispatch from a destructor
}

bool QtSerialDevice::isOpen() const
{
    return m_port->isOpen();
}

Error QtSerialDevice::systemError(int code)
{
    return {Error::Kind::PortStatus, code, systemText(code)};
}

void QtSerialDevice::failFromErrno(int code)
{
    m_error = systemError(code);
}

void QtSerialDevice::failFromPort(int savedErrno)
{
    const QString text = m_port->errorString();
#ifdef Q_OS_WIN
    Q_UNUSED(savedErrno);
    m_error = {Error::Kind::PortStatus, codeFor(m_port->error(), true, text), text};
#else
    // The errno of the failing call is the number when its text is the one Qt kept.
    const bool textIsErrno = savedErrno > 0 && text == systemText(savedErrno);
    m_error = {Error::Kind::PortStatus,
               textIsErrno ? savedErrno : codeFor(m_port->error(), false, text), text};
#endif
}

// However the refusal came: Qt's lock file, TIOCEXCL (EBUSY), our flock, or
// Windows' "access denied". Qt's own words for the lock file send users to
// check their groups instead.
QString QtSerialDevice::inUseText()
{
    return QStringLiteral("The port is in use by another program.");
}

Result<void> QtSerialDevice::open(const PortAddress &address)
{
    constexpr Error::Kind kOpen = Error::Kind::PortOpen;
    if (m_port->isOpen())
        return Error{kOpen, kInUse, QStringLiteral("The port is already open.")};
    m_lost = false;
    m_lossReported = false;
    m_error = {};
    if (address.isSimulator())
        return Error{kOpen, kNotFound, systemText(kNotFound)};
    const Result<QString> device = findDevice(address.path);
    if (!device)
        return device.error();
    m_port->setPortName(*device);
    errno = 0;
    // Qt takes a lock file and TIOCEXCL, so another Zepta or a program that
    // honours either cannot share the line.
    if (!m_port->open(QIODevice::ReadWrite)) {
        failFromPort(errno);
#ifndef Q_OS_WIN
        // Not the system's "busy" but Qt's own words: its lock file refused.
        if (m_error.code == kInUse && m_error.text != systemText(kInUse))
            return lockRefusal(*device);
#endif
        if (m_error.code == kInUse)
            m_error.text = inUseText();
#ifndef Q_OS_WIN
        if (m_error.code == ENOTTY)
            m_error.text = QString::fromLatin1(kNotAPortText);
#endif
        return failure(kOpen);
    }
    connect(m_port, &QSerialPort::errorOccurred, this, &QtSerialDevice::onPortError,
            Qt::UniqueConnection);
#ifndef Q_OS_WIN
    // TIOCEXCL does not stop root, and lock-file directories differ between
    // programs; an advisory lock on the device itself keeps out every holder
    // that takes one too (another Zepta, picocom, ...).
    if (::flock(int(m_port->handle()), LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK || errno == EAGAIN;
        const int code = held ? kInUse : errno;
        close();
        failFromErrno(code);
        if (held)
            m_error.text = inUseText();
        return failure(kOpen);
    }
    m_queueUntold = queueIsUntold();
#endif
    return {};
}

void QtSerialDevice::close()
{
    if (!m_port->isOpen())
        return;
#ifndef Q_OS_WIN
    if (!m_lost)
        drainOutput();
#endif
    // Closing a vanished device makes Qt report one more error; it is not news.
    m_closing = true;
    m_port->close();
    m_closing = false;
#ifdef Q_OS_WIN
    m_inFlight = 0;
    m_inFlightNext = nullptr;
#endif
}

Result<void> QtSerialDevice::purge(QSerialPort::Directions directions)
{
    if (!usable())
        return failure(Error::Kind::PortPurge);
    if (!directions)
        return {};
    errno = 0;
    // Both Qt's buffer and the kernel's queue (tcflush / PurgeComm).
    if (!m_port->clear(directions)) {
        failFromPort(errno);
        return failure(Error::Kind::PortPurge);
    }
#ifdef Q_OS_WIN
    if (directions & QSerialPort::Output) {
        m_inFlight = 0;
        m_inFlightNext = nullptr;
    }
#endif
    return {};
}

Result<void> QtSerialDevice::applyLineSettings(const LineSettings &settings)
{
    if (!usable())
        return failure(Error::Kind::PortApply);
    errno = 0;
    // Qt's hardware flow control is RTS/CTS: output waits while the far end
    // holds CTS low, which is what CTS handshake asks for. Qt turns XON/XOFF
    // off with it, so 0x11 and 0x13 stay ordinary bytes.
    const bool ok =
        m_port->setBaudRate(settings.baudRate) && m_port->setDataBits(QSerialPort::Data8) &&
        m_port->setParity(QSerialPort::NoParity) && m_port->setStopBits(QSerialPort::OneStop) &&
        m_port->setFlowControl(settings.flowControl == FlowControl::CtsHandshake
                                   ? QSerialPort::HardwareControl
                                   : QSerialPort::NoFlowControl);
    if (!ok) {
        failFromPort(errno);
        return failure(Error::Kind::PortApply);
    }
    return {};
}

LineSettings QtSerialDevice::lineSettings() const
{
    LineSettings s;
    s.baudRate = m_port->baudRate();
    s.flowControl = m_port->flowControl() == QSerialPort::HardwareControl
                        ? FlowControl::CtsHandshake
                        : FlowControl::None;
    return s;
}

void QtSerialDevice::onPortError(QSerialPort::SerialPortError error)
{
    if (m_closing || m_lost || !m_port->isOpen())
        return;
        // Qt's errno is often stale by now (and Qt calls a spurious EAGAIN a
        // resource error), so the line itself is asked whether it hung up.
#ifdef Q_OS_WIN
    if (error != QSerialPort::ResourceError)
        return;
    failFromPort(0);
#else
    const int saved = errno;
    const bool realFailure = error == QSerialPort::ResourceError && meansGone(saved);
    if (!realFailure && !lineHungUp())
        return;
    m_error = systemError(realFailure ? saved : EIO);
#endif
    m_lost = true;
    // Qt keeps reporting a vanished device for as long as the port stays open:
    // stop listening now. The close waits until Qt has left the notifier that
    // brought us here, unless one of our own calls finishes it first.
    disconnect(m_port, &QSerialPort::errorOccurred, this, &QtSerialDevice::onPortError);
    QMetaObject::invokeMethod(this, &QtSerialDevice::finishLoss, Qt::QueuedConnection);
}

void QtSerialDevice::reportLoss(const Error &error)
{
    m_lost = true;
    m_error = error;
    finishLoss();
}

void QtSerialDevice::finishLoss()
{
    // Once per open; and not at all when the owner closed the port meanwhile.
    if (m_lossReported || !m_port->isOpen())
        return;
    m_lossReported = true;
    disconnect(m_port, &QSerialPort::errorOccurred, this, &QtSerialDevice::onPortError);
    close();
    const Error error = m_error;
    emit lost(error); // the owner may delete us (later) from here
}

bool QtSerialDevice::usable()
{
    if (m_lost) {
        finishLoss(); // m_error keeps the loss
        return false;
    }
    if (!m_port->isOpen()) {
        failFromErrno(kBadHandle);
        return false;
    }
    return true;
}
