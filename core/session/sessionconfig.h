#pragma once

#include "core/session/configfile.h"

#include <QString>
#include <QStringList>

#include <optional>

class CodePage;
class Connection;
class SetupState;

// What the window does at start with the saved settings.
struct StartupPlan
{
    QString portText;  // shown in ComSel
    int portIndex = 0; // entry of ComSel to select, -1 for a name shown as saved
    QString baudRate;  // the BPS entry to select
    FlowControl flowControl = FlowControl::None; // Check1 checked for CTS handshake
    std::optional<int> displayModel;             // switched to once the lists are live
    bool goOnline = false;
};

// The settings file of one run: read once at start, written once at exit.
class SessionConfig
{
public:
    SessionConfig(const QString &directory, const CodePage &codePage);

    static QStringList comPortNames(); // "COM1" to "COM16"
    static StartupPlan plan(const ConfigRecord &record);

    QString path() const { return m_path; }

    // Reads the file and puts baud rate and flow control into the state.
    // Temporary files an interrupted save of an earlier run left go first.
    StartupPlan readAtStart(SetupState &state) const;
    // Takes the connection offline (closing the port) after noting that it was
    // online, then writes the file. The port is closed even when the write fails.
    Result<void> writeAtExit(const QString &portText, const SetupState &state,
                             Connection &connection) const;

private:
    QString m_path;
    const CodePage &m_codePage;
};
