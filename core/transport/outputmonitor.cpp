#include "core/transport/outputmonitor.h"

#include "core/transport/monitorformat.h"

OutputMonitor::OutputMonitor(QObject *parent)
    : QObject(parent)
{
}

void OutputMonitor::setCommandName(const QString &text)
{
    m_commandName.setText(text);
    Q_EMIT commandNameChanged(text);
}

void OutputMonitor::setHelp(const QString &text)
{
    m_help.setText(text);
    Q_EMIT helpChanged(text);
}

void OutputMonitor::setCodes(const QString &text)
{
    m_codes.setPlain(text);
    Q_EMIT codesChanged();
}

void OutputMonitor::showCodes(const Codes &codes)
{
    m_codes.setBytes(MonitorFormat::lowBytes(codes));
    Q_EMIT codesChanged();
}

void OutputMonitor::setResponse(const QString &text)
{
    m_response = text;
    Q_EMIT responseChanged(text);
}

void OutputMonitor::appendHistory(const Codes &codes)
{
    m_history.append(MonitorFormat::lowBytes(codes));
    Q_EMIT historyAppended();
}

void OutputMonitor::clearHistory()
{
    m_history.clear();
    Q_EMIT historyReset();
}
