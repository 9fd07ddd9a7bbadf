#pragma once

#include "app/sim/decodedlineprinter.h"
#include "app/sim/programterminal.h"
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
    static constexpr int kPumpMs = 2;

    // lineOut gets one line per command the module has finished with.
    PtyBridge(SimulatedModule &module, std::function<void(const QString &)> lineOut,
              QObject *parent = nullptr);

    // Creates the terminal; false with the reason in error.
    bool open(QString *error);
    QString slavePath() const { return m_terminal.slavePath(); }
    // Prints what the module has logged and not yet printed, an open text run included.
    void flushLog();

private:
    void pump();
    void readInput();
    void writeReplies();

    SimulatedModule &m_module;
    DecodedLinePrinter m_printer;
    ProgramTerminal m_terminal;
    QSocketNotifier *m_readable = nullptr;
    QTimer m_pumpTimer;
    QByteArray m_pending; // read from the terminal, not yet taken by the line
    QByteArray m_replies; // from the line, not yet taken by the terminal
};
