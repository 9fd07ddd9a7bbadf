#include "app/cli/cliportsession.h"

#include "core/session/devicefactory.h"

#include <csignal>

CliPortSession::CliPortSession(const CliOptions::LineChoice &line, QTextStream &err)
    : m_line(line)
    , m_prompt(err)
    , m_session(systemSerialDeviceFactory(), m_prompt, CodePage::forSystem())
{
    m_prompt.setFailureDescriber(
        [this](const QString &text, const Error &cause) { return described(text, cause); });
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
    return m_session.connection.goOnline(m_line.portName, m_line.settings).ok();
}

QString CliPortSession::signalName() const
{
#ifdef SIGTERM
    if (m_signal == SIGTERM)
        return QStringLiteral("SIGTERM");
#endif
    return m_signal == SIGINT ? QStringLiteral("SIGINT") : QString::number(m_signal);
}

// Every failure names the port and the system's reason, on the line of the
// window's first words: the window's second line holds the same, unescaped.
QString CliPortSession::described(const QString &text, const Error &cause) const
{
    return TerminalText::portFailure(text, m_line.portName, cause);
}
