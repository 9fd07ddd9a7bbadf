#pragma once

#include "core/base/command.h"
#include "core/transport/codes.h"

#include <QByteArray>

class CodePage;
class Connection;
class OutputMonitor;
class PortWriter;
class Prompt;

// The sending engine: writes one converted command to the port through the port
// writer (writes of at most 64 bytes), carries out the pacing markers, reads a
// status reply when one is expected, and refreshes the output monitor, online
// or not.
class DataTransmitter
{
public:
    static constexpr int kPauseMs = 100; // one "\w"
    static constexpr int kReplySize = 20;

    DataTransmitter(Connection &connection, PortWriter &writer, OutputMonitor &monitor,
                    Prompt &prompt, const CodePage &codePage);

    void transmit(const Codes &codes);
    // The port side of transmit alone: writes the command (markers carried
    // out, a reply read when one is expected) and leaves the monitor as it
    // is, for zepta-cli, which prints only the "[T]" line. Call it online
    // only; false when the port failed or the writer was stopped.
    bool send(const Codes &codes);
    // CTS flow control off on the open port; a failure is told and takes the
    // connection offline. Offline there is nothing to switch.
    void switchFlowControlOff();

    // Set by a status request before it transmits. It stays set until a reply
    // is actually read, so a request issued offline makes the next online
    // command discard stale input first and read a reply after it.
    bool expectReply() const { return m_expectReply; }
    void setExpectReply(bool expect) { m_expectReply = expect; }
    // How the reply label shows the reply of the next command sent; back to
    // Unchanged after every transmit.
    ReplyKind replyKind() const { return m_replyKind; }
    void setReplyKind(ReplyKind kind) { m_replyKind = kind; }
    QByteArray reply() const { return m_reply; }

private:
    // Writes the first count bytes of segment and takes them off it.
    bool writeOut(QByteArray &segment, qsizetype count);
    bool readReply();
    void refreshMonitor(const Codes &codes);

    Connection &m_connection;
    PortWriter &m_writer;
    OutputMonitor &m_monitor;
    Prompt &m_prompt;
    const CodePage &m_codePage;
    bool m_expectReply = false;
    ReplyKind m_replyKind = ReplyKind::Unchanged;
    QByteArray m_reply = QByteArray(kReplySize + 1, '\0');
};
