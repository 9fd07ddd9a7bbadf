#pragma once

#include <QListWidget>

class CommandLog;

// The module's decoded-command list: one row per command with its name and
// bytes; what the module did not understand stands out in red, what it
// ignored in grey with the reason, and the replies of a real module (a shadow
// of its port) in blue.
class DecodedCommandList : public QListWidget
{
    Q_OBJECT
public:
    explicit DecodedCommandList(const CommandLog &log, QWidget *parent = nullptr);

    // Brings the rows up to the log; cheap when nothing changed.
    void sync();

private:
    void fill(QListWidgetItem *item, int entryIndex);

    const CommandLog &m_log;
    quint64 m_revision = 0;
    quint64 m_lastSerial = 0; // serial of the newest row
};
