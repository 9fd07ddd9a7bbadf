#include "app/cli/cliportsession.h"

#include "core/serial/portnames.h"
#include "core/serial/serialports.h"

#include <csignal>

CliPortSession::CliPortSession(const CliOptions::LineChoice &line, QTextStream &err)
    : m_line(line)
    , m_prompt(err)
    , m_session(systemSerialDeviceFactory(), m_prompt, CodePage::forSystem())
    , m_failuresTold(m_session.ports.failureCount())
{
    m_prompt.setAnnotator([this](const QString &message) { return annotated(message); });
    // A "\k" waiting for Enter gives way too.
    m_prompt.setGivingUp([this] { return stopRequested(); });
    QObject::connect(&m_signals, &TerminationSignals::received, &m_signals, [this](int number) {
        if (m_signal != 0)
            return;
        m_signal = number;
        if (m_stop)
            m_stop();
    });
}

bool CliPortSession::goOnline()
{
    return m_session.connection.goOnline(m_line.portName, m_line.baudRate, m_line.cts);
}

QString CliPortSession::signalName() const
{
#ifdef SIGTERM
    if (m_signal == SIGTERM)
        return QStringLiteral("SIGTERM");
#endif
    return m_signal == SIGINT ? QStringLiteral("SIGINT") : QString::number(m_signal);
}

// The window can only say that something failed; here there is room for why:
// a message told right after the port layer recorded a new failure is that
// failure's, and gets the record.
QString CliPortSession::annotated(const QString &message)
{
    const PortTable &ports = m_session.ports;
    if (ports.failureCount() == m_failuresTold)
        return message;
    m_failuresTold = ports.failureCount();
    const CommError e = ports.lastCommError();
    const QString path = PortNames::devicePath(m_line.portName);
    const QString where =
        path == m_line.portName ? m_line.portName : m_line.portName + " (" + path + ")";
    return QStringLiteral("%1: %2: %3 [%4, code %5]")
        .arg(message, CliOptions::shown(where), e.message, e.source)
        .arg(e.code);
}
