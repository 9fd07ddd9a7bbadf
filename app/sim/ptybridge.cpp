#include "app/sim/ptybridge.h"

#include <QSocketNotifier>

#include <unistd.h>

PtyBridge::PtyBridge(SimulatedModule &module, std::function<void(const QString &)> lineOut,
                     QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_printer(module.model().log(), std::move(lineOut))
{
    m_pumpTimer.setInterval(kPumpMs);
    connect(&m_pumpTimer, &QTimer::timeout, this, &PtyBridge::pump);
}

bool PtyBridge::open(QString *error)
{
    if (!m_terminal.open(error))
        return false;
    m_readable = new QSocketNotifier(m_terminal.master(), QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &PtyBridge::pump);
    return true;
}

void PtyBridge::readInput()
{
    const qsizetype room = ModuleLine::kTransmitFifo - m_pending.size();
    if (room <= 0)
        return;
    char buffer[ModuleLine::kTransmitFifo];
    const ssize_t n = ::read(m_terminal.master(), buffer, size_t(room));
    if (n > 0) {
        m_pending.append(buffer, n);
        m_printer.bytesMoved();
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
    const ssize_t n = ::write(m_terminal.master(), m_replies.constData(), size_t(m_replies.size()));
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
    m_printer.print();

    // While bytes wait for the line, the terminal is not read: they back up in it.
    const bool busy = !m_pending.isEmpty() || !line.idle() || !m_replies.isEmpty();
    m_readable->setEnabled(m_pending.isEmpty());
    if (busy && !m_pumpTimer.isActive())
        m_pumpTimer.start();
    else if (!busy)
        m_pumpTimer.stop();
}

void PtyBridge::flushLog()
{
    m_module.line().advance();
    m_printer.print(true);
}
