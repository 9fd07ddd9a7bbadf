#pragma once

#include <QObject>

class CodePage;
class OutputMonitor;
class Prompt;
class QBoxLayout;
class QPushButton;

// The output monitor's "Clear" and "Save to file (binary)": the monitor's
// history emptied, or turned back into the raw bytes of its commands.
class MonitorButtons : public QObject
{
    Q_OBJECT
public:
    MonitorButtons(OutputMonitor &monitor, Prompt &prompt, const CodePage &codePage,
                   QBoxLayout *row, QObject *parent = nullptr);

private:
    void clearHistory();
    void saveBinary();

    OutputMonitor &m_monitor;
    Prompt &m_prompt;
    const CodePage &m_codePage;
    QPushButton *m_saveButton;
};
