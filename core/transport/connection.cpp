#include "core/transport/connection.h"

#include "core/serial/portaddress.h"
#include "core/serial/serialline.h"
#include "core/transport/prompt.h"

#include <utility>

Connection::Connection(SerialLine &line, Prompt &prompt, QObject *parent)
    : QObject(parent)
    , m_line(line)
    , m_prompt(prompt)
{
    // An adapter pulled out while nothing was being sent: told once, then offline.
    connect(&m_line, &SerialLine::lost, this, &Connection::reportPortError);
}

Result<void> Connection::goOnline(const QString &portName, const LineSettings &settings)
{
    if (m_online)
        return {};
    const Result<void> opened = m_line.open(PortAddress::fromName(portName), settings);
    if (opened) {
        m_online = true;
        emit stateChanged();
        return opened;
    }
    m_prompt.reportFailure(QStringLiteral("COM port cannot be opened\n") +
                               failureDetail(portName, opened.error()),
                           opened.error());
    goOffline();
    return opened;
}

void Connection::goOffline()
{
    if (m_online) {
        m_online = false;
        m_line.close();
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

void Connection::reportPortError(const Error &cause)
{
    // A port the user went offline from, or the closing window closed, while
    // a write or a reply read let events run fails only for being closed:
    // nothing to tell, and a box now would hold up the program's end.
    if (!m_online)
        return;
    const bool outer = std::exchange(m_reportingFailure, true); // the box may nest
    m_prompt.reportFailure(QStringLiteral("COM port error"), cause);
    m_reportingFailure = outer;
    goOffline();
}

QString Connection::failureDetail(const QString &portName, const Error &cause)
{
    return PortAddress::described(portName) + QStringLiteral(": ") + cause.text;
}
