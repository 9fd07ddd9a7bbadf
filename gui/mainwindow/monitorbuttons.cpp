#include "gui/mainwindow/monitorbuttons.h"

#include "core/logboard/binarysave.h"
#include "core/transport/outputmonitor.h"
#include "core/transport/prompt.h"
#include "gui/common/busyguard.h"

#include <QBoxLayout>
#include <QPushButton>

MonitorButtons::MonitorButtons(OutputMonitor &monitor, Prompt &prompt, const CodePage &codePage,
                               QBoxLayout *row, QObject *parent)
    : QObject(parent)
    , m_monitor(monitor)
    , m_prompt(prompt)
    , m_codePage(codePage)
{
    QWidget *frame = row->parentWidget();
    auto *clear = new QPushButton(QStringLiteral("Clear"), frame);
    clear->setObjectName(QStringLiteral("Command1"));
    m_saveButton = new QPushButton(QStringLiteral("Save to file (binary)"), frame);
    m_saveButton->setObjectName(QStringLiteral("Save_to_file_button"));
    row->addWidget(clear);
    row->addStretch(1);
    row->addWidget(m_saveButton);

    connect(clear, &QPushButton::clicked, this, &MonitorButtons::clearHistory);
    connect(m_saveButton, &QPushButton::clicked, this, &MonitorButtons::saveBinary);
}

// The Log Board is not touched: PLAY afterwards still replays all of it.
void MonitorButtons::clearHistory()
{
    m_monitor.clearHistory();
}

void MonitorButtons::saveBinary()
{
    const BusyGuard guard(m_saveButton);
    const QString path = m_prompt.saveFileName(BinarySave::fileRequest());
    if (path.isEmpty())
        return;
    if (const Result<void> saved = BinarySave::save(path, m_monitor.history(), m_codePage); !saved)
        m_prompt.message(saved.error().text);
}
