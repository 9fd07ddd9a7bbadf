#pragma once

#include "core/transport/codes.h"
#include "core/transport/command.h"

#include <QObject>
#include <QQueue>
#include <QString>

class CodePage;
class DataTransmitter;
class LogBoard;
class OutputMonitor;
class Prompt;

// The transmit pipeline: converts a command, hands it to the sending engine,
// and names and records it. Commands never interleave: one issued while
// another is still sending (its pauses, key-waits and waits let clicks through)
// is queued and runs, in order, when the current one is done.
class CommandTransport : public QObject
{
    Q_OBJECT
public:
    CommandTransport(DataTransmitter &transmitter, OutputMonitor &monitor, LogBoard &logBoard,
                     Prompt &prompt, const CodePage &codePage, QObject *parent = nullptr);

    // transmit (or the text entry's own conversion) then addLog, in turn.
    void issue(const Command &command);

    // Converts escape notation and sends; an empty conversion sends nothing and
    // leaves the monitor as it was. False when the command was refused as too long.
    bool transmit(const QString &data);
    // Names the command in the monitor and, while recording, records it with
    // the bytes of the last transmit (an empty "PRT;" line when it converted to nothing).
    void addLog(const QString &title, const QString &help);

    bool busy() const { return m_busy; }
    qsizetype queued() const { return m_queue.size(); }
    // Bytes (and markers) of the command transmitted last.
    Codes lastCodes() const { return m_lastCodes; }

signals:
    // After a command's transmit and addLog have both run.
    void commandIssued(const QString &title);

private:
    void run(const Command &command);
    bool send(const Codes &codes);

    DataTransmitter &m_transmitter;
    OutputMonitor &m_monitor;
    LogBoard &m_logBoard;
    Prompt &m_prompt;
    const CodePage &m_codePage;
    QQueue<Command> m_queue;
    Codes m_lastCodes;
    bool m_busy = false;
};
