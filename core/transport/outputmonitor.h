#pragma once

#include "core/transport/codes.h"
#include "core/transport/monitortext.h"

#include <QObject>
#include <QString>

// What the output monitor shows: the last command's name, help and codes, the
// growing history of every converted command, and the status reply. Each text
// is kept here once; the window's boxes read the pieces they show.
class OutputMonitor : public QObject
{
    Q_OBJECT
public:
    explicit OutputMonitor(QObject *parent = nullptr);

    QString commandName() const { return m_commandName.text(); }
    QString help() const { return m_help.text(); }
    QString codes() const { return m_codes.text(); }
    // The "[T]" history: every line followed by CR LF. Made on each call (the
    // binary save's input); a view reads historyText() instead.
    QString history() const { return m_history.text(); }
    QString response() const { return m_response; } // the reply label

    const MonitorText &commandNameText() const { return m_commandName; }
    const MonitorText &helpText() const { return m_help; }
    const MonitorText &codesText() const { return m_codes; }
    const MonitorText &historyText() const { return m_history; }

    void setCommandName(const QString &text);
    void setHelp(const QString &text);
    // The code box as plain text ("log"), or as the "[hh]" groups of a command.
    void setCodes(const QString &text);
    void showCodes(const Codes &codes);
    void setResponse(const QString &text);
    // One "[T]" line for the command.
    void appendHistory(const Codes &codes);
    void clearHistory();

Q_SIGNALS:
    void commandNameChanged(const QString &text);
    void helpChanged(const QString &text);
    void codesChanged();
    void responseChanged(const QString &text);
    // Lines were added at the end (historyAppended) or the history was
    // replaced (historyReset: cleared).
    void historyAppended();
    void historyReset();

private:
    PlainMonitorText m_commandName{QStringLiteral("command")};
    PlainMonitorText m_help{QStringLiteral("help")};
    CodesText m_codes{QStringLiteral("log\r\n")};
    HistoryText m_history;
    QString m_response;
};
