#pragma once

class CommandTransport;
class Connection;
class Prompt;
class SetupState;

// Starting and ending Serial OUT mode. While the mode runs the module's SBUSY
// line carries data, so CTS flow control is switched off first and the CTS
// box stays locked until the mode ends.
class SerialOutSwitch
{
public:
    SerialOutSwitch(CommandTransport &transport, Connection &connection, SetupState &state,
                    Prompt &prompt);

    // Asks the user; false leaves everything as it was.
    bool confirmStart();
    // CTS box unchecked and locked, then the start command, which switches
    // CTS handshake off on the open port in its turn (a failure is told,
    // takes the connection offline, and the start goes on) and thus goes out
    // without handshake.
    void start();
    // The end command (the reply label is left alone), then the CTS box is
    // released; it is editable again only while offline.
    void end();

private:
    CommandTransport &m_transport;
    Connection &m_connection;
    SetupState &m_state;
    Prompt &m_prompt;
};
