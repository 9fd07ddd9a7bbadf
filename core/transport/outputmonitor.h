#pragma once

#include <QObject>
#include <QString>

// What the output monitor shows: the last command's name, help and codes, the
// growing history of every converted command, and the status reply. The window
// only displays these texts.
class OutputMonitor : public QObject
{
    Q_OBJECT
public:
    explicit OutputMonitor(QObject *parent = nullptr);

    QString commandName() const { return m_commandName; } // sendCommandBox
    QString help() const { return m_help; }               // sendHelpBox
    QString codes() const { return m_codes; }             // SendTextBox
    QString history() const { return m_history; }         // TrHistory
    QString response() const { return m_response; }       // RespSts

    void setCommandName(const QString &text);
    void setHelp(const QString &text);
    void setCodes(const QString &text);
    void setResponse(const QString &text);
    void appendHistoryLine(const QString &line); // adds CR LF
    void clearHistory();

Q_SIGNALS:
    void commandNameChanged(const QString &text);
    void helpChanged(const QString &text);
    void codesChanged(const QString &text);
    void responseChanged(const QString &text);
    // The whole history was replaced (cleared); appends come through historyAppended
    // so that a view can add one line without copying a long text each time.
    void historyReset(const QString &text);
    void historyAppended(const QString &lineWithBreak);

private:
    QString m_commandName = QStringLiteral("command");
    QString m_help = QStringLiteral("help");
    QString m_codes = QStringLiteral("log\r\n");
    QString m_history;
    QString m_response;
};
