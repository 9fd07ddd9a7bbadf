#include "core/transport/outputmonitor.h"

OutputMonitor::OutputMonitor(QObject *parent)
    : QObject(parent)
{
}

void OutputMonitor::setCommandName(const QString &text)
{
    m_commandName = text;
    Q_EMIT commandNameChanged(text);
}

void OutputMonitor::setHelp(const QString &text)
{
    m_help = text;
    Q_EMIT helpChanged(text);
}

void OutputMonitor::setCodes(const QString &text)
{
    m_codes = text;
    Q_EMIT codesChanged(text);
}

void OutputMonitor::setResponse(const QString &text)
{
    m_response = text;
    Q_EMIT responseChanged(text);
}

void OutputMonitor::appendHistoryLine(const QString &line)
{
    const QString withBreak = line + QStringLiteral("\r\n");
    m_history += withBreak;
    Q_EMIT historyAppended(withBreak);
}

void OutputMonitor::clearHistory()
{
    m_history.clear();
    Q_EMIT historyReset(m_history);
}
