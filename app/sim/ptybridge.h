#pragma once

#include "core/module/simulatedmodule.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QSocketNotifier;

// Puts the simulated module at the far end of a new pseudo-terminal: bytes a
// program writes to the terminal go down the module's line at its baud rate,
// replies come back into the terminal. A pseudo-terminal has no CTS line, so
// while the module is busy the bridge simply stops reading: the bytes wait in
// the terminal, and a writer that fills it blocks as it would on CTS.
class PtyBridge : public QObject
{
    Q_OBJECT
public:
    // Idle time after which an unfinished run of characters counts as ended.
    static constexpr int kQuietMs = 50;
    static constexpr int kPumpMs = 2;

    // lineOut gets one line per command the module has finished with.
    PtyBridge(SimulatedModule &module, std::function<void(const QString &)> lineOut,
              QObject *parent = nullptr);
    ~PtyBridge() override;

    // Creates the terminal; false with the reason in error.
    bool open(QString *error);
    QString slavePath() const { return m_slavePath; }
    // Prints what the module has logged and not yet printed, an open text run included.
    void flushLog();

private:
    void pump();
    void readInput();
    void writeReplies();
    void printFinished(bool all);

    SimulatedModule &m_module;
    std::function<void(const QString &)> m_lineOut;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QSocketNotifier *m_readable = nullptr;
    QTimer m_pumpTimer;
    QTimer m_quiet;
    QByteArray m_pending;  // read from the terminal, not yet taken by the line
    QByteArray m_replies;  // from the line, not yet taken by the terminal
    quint64 m_printed = 0; // serial of the last log entry printed
};
