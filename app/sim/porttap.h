#pragma once

#include "app/sim/decodedlineprinter.h"
#include "app/sim/programterminal.h"
#include "core/serial/serialline.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QSocketNotifier;
class ShadowModule;

// zepta-sim --tap: a program on our pseudo-terminal, a real module on a serial
// port opened as Zepta opens it, and every byte passed on unchanged both ways
// while a shadow of the module reads along and its decoded lines are printed.
//
// Back-pressure: at most kBufferSize bytes from the program are held here.
// While the port takes nothing (CTS held low, a stalled line) the write waits
// as long as it must, and the terminal is not read meanwhile, so the program's
// own writes block. Nothing is dropped or reordered on the way.
class PortTap : public QObject
{
    Q_OBJECT
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kChunkSize = 64; // a write, as Zepta writes
    // What the module sent is held for a program that does not read, up to this.
    static constexpr int kReplyLimit = 4096;

    PortTap(SerialDeviceFactory factory, ShadowModule &shadow,
            std::function<void(const QString &)> lineOut, QObject *parent = nullptr);
    ~PortTap() override;

    // The module's port, with Zepta's exclusive open and line settings.
    Result<void> openPort(const QString &portName, const LineSettings &settings);
    // The program's terminal; false with the reason in error.
    bool openTerminal(QString *error);
    QString slavePath() const { return m_terminal.slavePath(); }

    // Passes nothing more: a write that waits for the port gives up at once.
    void stop();
    // Closes the port, which gets back the line settings it had and is released.
    void closePort() { m_port.close(); }
    // Bytes from the program that did not reach the module (after stop()).
    qsizetype bytesHeld() const { return qsizetype(m_buffer.size()) - m_done; }
    // Prints the decoded lines not printed yet, an open run included.
    void flushLog() { m_printer.print(true); }

signals:
    // One end went away; the line says which, and why.
    void endLost(const QString &why);

private:
    void passToModule();
    void passToProgram();
    // Moves what the program wrote into the free room; false when its end is gone.
    bool readFromProgram();
    void moduleLost(const Error &cause);
    void programLost(int code);

    SerialLine m_port;
    ShadowModule &m_shadow;
    DecodedLinePrinter m_printer;
    ProgramTerminal m_terminal;
    QString m_portName;
    QSocketNotifier *m_fromProgram = nullptr;
    QSocketNotifier *m_toProgram = nullptr;
    // The program's bytes, from the first that did not leave the port (m_done).
    // Its memory stays put while bytes are in flight: the port takes them over
    // by their address.
    std::vector<char> m_buffer;
    qsizetype m_done = 0;
    QByteArray m_replies; // from the module, not yet taken by the program
    bool m_writing = false;
    bool m_stopped = false;
};
