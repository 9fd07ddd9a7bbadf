#include "core/session/sessionconfig.h"

#include "core/files/atomicsave.h"
#include "core/session/setupstate.h"
#include "core/transport/connection.h"

#include <QDir>

SessionConfig::SessionConfig(const QString &directory, const CodePage &codePage)
    : m_path(QDir(directory).filePath(QString::fromLatin1(ConfigFile::kFileName)))
    , m_codePage(codePage)
{
}

QStringList SessionConfig::comPortNames()
{
    QStringList names;
    for (int i = 1; i <= 16; ++i)
        names << QStringLiteral("COM%1").arg(i);
    return names;
}

StartupPlan SessionConfig::plan(const ConfigRecord &record)
{
    StartupPlan plan;
    if (record.portName) {
        // Shown as saved, also when it matches an entry: the box held text, not a choice.
        plan.portName = *record.portName;
        plan.portIndex = -1;
    } else {
        plan.portIndex = record.portNumber().toInt() - 1;
        plan.portName = comPortNames().value(plan.portIndex);
    }
    plan.baudRate = record.baudRate();
    plan.flowControl = record.flowControl();
    plan.displayModel = record.displayModel();
    plan.goOnline = record.wasOnline();
    return plan;
}

StartupPlan SessionConfig::readAtStart(SetupState &state) const
{
    // What a save killed between writing and renaming left; only files Zepta
    // can tell it made itself go.
    removeLeftovers(m_path);
    StartupPlan startup = plan(ConfigFile::load(m_path, m_codePage));
    state.setPortName(startup.portName);
    state.setBaudRate(startup.baudRate);
    state.setFlowControl(startup.flowControl);
    return startup;
}

Result<void> SessionConfig::writeAtExit(const SetupState &state, Connection &connection) const
{
    ConfigSettings settings;
    settings.portName = state.portName();
    settings.baudRate = state.baudRate();
    settings.flowControl = state.flowControl();
    settings.online = connection.onlineToSave();
    settings.displayModel = state.displayModel();
    if (connection.isOnline())
        connection.goOffline();
    return ConfigFile::save(m_path, settings, m_codePage);
}
