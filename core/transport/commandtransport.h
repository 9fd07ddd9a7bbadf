#pragma once

#include "core/base/command.h"
#include "core/base/result.h"
#include "core/transport/codes.h"

#include <QObject>
#include <QString>

class CodePage;
class DataTransmitter;
class OutputMonitor;
class Prompt;
class WriteQueue;

// The transmit pipeline: converts a command, hands it to the sending engine,
// names it in the monitor and tells what it sent, for the recorder. A command is a job of the write
// queue: one issued while another command or a playback is still sending waits its turn there.
class CommandTransport : public QObject
{
    Q_OBJECT
public:
    CommandTransport(WriteQueue &queue, DataTransmitter &transmitter, OutputMonitor &monitor,
                     Prompt &prompt, const CodePage &codePage, QObject *parent = nullptr);

    // transmit (or the text entry's own conversion) then logCommand, in turn: at
    // once when the port is free, otherwise when the writes before it are done.
    void issue(const Command &command);

    // Converts escape notation and sends; an empty conversion sends nothing and
    // leaves the monitor as it was. A command too long to send is refused
    // whole; issue() tells the user why.
    Result<void> transmit(const QString &data);
    // Names the command in the monitor and reports it as sent, with the
    // codes of the last transmit (none when it converted to nothing).
    void logCommand(const QString &title, const QString &help);

    bool busy() const;
    qsizetype queued() const;
    // Bytes (and markers) of the command transmitted last.
    Codes lastCodes() const { return m_lastCodes; }

signals:
    // A command went through the transport (online or not): what the Log
    // Board records of it.
    void commandSent(const QString &title, const QString &help, const Codes &codes);
    // After a command's transmit and logCommand have both run.
    void commandIssued(const QString &title);
    // A command that holds the window (Command::holdsWindow) starts (true)
    // and ends (false): the hold belongs to its run, which may begin long
    // after the click that asked for it.
    void windowHoldChanged(bool held);

private:
    void run(const Command &command);
    Result<void> send(const Codes &codes);

    WriteQueue &m_queue;
    DataTransmitter &m_transmitter;
    OutputMonitor &m_monitor;
    Prompt &m_prompt;
    const CodePage &m_codePage;
    Codes m_lastCodes;
};
