#include "core/session/connection.h"

#include "core/serial/portnames.h"
#include "core/serial/porttable.h"
#include "core/transport/prompt.h"

#include <utility>

Connection::Connection(PortTable &ports, Prompt &prompt, QObject *parent)
    : QObject(parent)
    , m_ports(ports)
    , m_prompt(prompt)
{
    connect(&m_ports, &PortTable::portLost, this, &Connection::onPortLost);
}

QString Connection::settingsString(const QString &baudRate, bool ctsFlowControl)
{
    return QStringLiteral("baud=") + baudRate +
           (ctsFlowControl ? QStringLiteral(" parity=N data=8 stop=1 octs=on")
                           : QStringLiteral(" parity=N data=8 stop=1 octs=off"));
}

bool Connection::goOnline(const QString &portName, const QString &baudRate, bool ctsFlowControl)
{
    if (m_online)
        return true;
    const int r = m_ports.CommOpen(kPort, PortNames::devicePath(portName),
                                   settingsString(baudRate, ctsFlowControl));
    if (r <= 0) {
        m_online = true;
        emit stateChanged();
        return true;
    }
    m_prompt.message(QStringLiteral("COM port cannot be opened"));
    OfflineButton_Click();
    return false;
}

void Connection::OfflineButton_Click()
{
    if (m_online) {
        m_online = false;
        // Offline either way: a close the system refused leaves nothing to retry.
        static_cast<void>(m_ports.CommClose(kPort));
    }
    emit stateChanged();
}

void Connection::setSerialOutRunning(bool running)
{
    if (m_serialOutRunning == running)
        return;
    m_serialOutRunning = running;
    emit stateChanged();
}

void Connection::onPortLost(qint16 port)
{
    // An adapter pulled out while nothing was being sent: told once, then offline.
    if (port != kPort || !m_online)
        return;
    reportPortError();
}

void Connection::reportPortError()
{
    // A port the user went offline from, or the closing window closed, while
    // a write or a reply read let events run fails only for being closed:
    // nothing to tell, and a box now would hold up the program's end.
    if (!m_online)
        return;
    const bool outer = std::exchange(m_reportingFailure, true); // the box may nest
    m_prompt.message(QStringLiteral("COM port error"));
    m_reportingFailure = outer;
    OfflineButton_Click();
}
