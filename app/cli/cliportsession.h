#pragma once

#include "app/cli/clioptions.h"
#include "app/cli/terminalprompt.h"
#include "app/shared/terminationsignals.h"
#include "core/session/commandsession.h"

#include <QTextStream>

#include <functional>

// What send and play share: the core objects behind the window, wired the
// same way, on the chosen port. A failure is told on stderr with what only a
// terminal has room for (the port and the system's reason); Ctrl+C or SIGTERM
// asks the run to stop, and a second one ends the program at once.
class CliPortSession
{
public:
    CliPortSession(const CliOptions::LineChoice &line, QTextStream &err);

    CommandSession &session() { return m_session; }
    Prompt &prompt() { return m_prompt; }

    // Opens the port as Online does; false after "COM port cannot be opened" was told.
    bool goOnline();
    // Offline: the port gets back the line settings it had and its lock goes.
    void goOffline() { m_session.connection.goOffline(); }

    // What to do when a termination signal comes (at most once).
    void onStopRequest(std::function<void()> stop) { m_stop = std::move(stop); }
    bool stopRequested() const { return m_signal != 0; }
    QString signalName() const;
    // 128 + the signal's number: 130 for SIGINT, 143 for SIGTERM.
    int stoppedExitCode() const { return 128 + m_signal; }

private:
    QString described(const QString &text, const Error &cause) const;

    CliOptions::LineChoice m_line;
    TerminalPrompt m_prompt;
    CommandSession m_session;
    TerminationSignals m_signals;
    std::function<void()> m_stop;
    int m_signal = 0;
};
