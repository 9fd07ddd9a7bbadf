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
    QString portName;  // the port Online opens
    int portIndex = 0; // its entry in the port list, -1 for a name shown as saved
    int baudRate = LineChoices::kDefaultBaudRate.rate;
    FlowControl flowControl = FlowControl::None;
    std::optional<int> displayModel; // switched to once the lists are live
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

    // Reads the file and puts port name, baud rate and flow control into the state.
    // Temporary files an interrupted save of an earlier run left go first.
    StartupPlan readAtStart(SetupState &state) const;
    // Takes the connection offline (closing the port) after noting that it was
    // online, then writes the file. The port is closed even when the write fails.
    Result<void> writeAtExit(const SetupState &state, Connection &connection) const;

private:
    QString m_path;
    const CodePage &m_codePage;
};
