#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <deque>

class ModuleModel;

// The serial line between a host and the simulated module, in time.
//
// The host's transmitter holds up to kTransmitFifo bytes and sends them one by
// one, 10 bits each at the baud rate, into the module's input buffer of
// kInputBuffer bytes. The module reads that buffer at once unless it holds its
// input (a wait action, a slow horizontal scroll). Its busy line (CTS) is
// asserted while it holds its input or the buffer is full. With CTS flow
// control on, the host's transmitter starts no byte while the module is busy
// and takes none from the host (a write then returns 0); with it off, bytes
// keep coming and those that find the buffer full are lost. Replies travel
// back at the same rate into the host's input queue.
//
// Nothing runs by itself: every call first brings the line up to the clock's
// present, handing the module each byte at the moment it arrived.
class ModuleLine
{
public:
    static constexpr int kTransmitFifo = 64;
    static constexpr int kInputBuffer = 256;
    static constexpr int kHostInputQueue = 1024; // like the driver queue the port layer sets up

    explicit ModuleLine(ModuleModel &model);

    void setBaudRate(qint32 baud);
    void setCtsFlowControl(bool on) { m_ctsFlowControl = on; }
    qint64 byteTimeNs() const { return m_byteNs; }

    // Host side. write() takes what the transmitter has room for: 0 when it is
    // full, or when CTS flow control is on and the module is busy.
    qint64 write(const char *data, qint64 size);
    qint64 bytesWaiting();
    qint64 read(char *data, qint64 maxSize);
    void purgeInput() { m_hostInput.clear(); }
    void purgeOutput() { m_fifo.clear(); }
    // Wait until the condition holds or msecs pass (on the module's clock).
    bool waitForReadable(int msecs);
    bool waitForWritable(int msecs);

    // Module side: bytes the module sends now, after any still on their way.
    // Its replies go this way; so does anything a test plays from the far end.
    void send(const QByteArray &bytes);

    // The module's busy line now.
    bool moduleBusy();
    // Nothing on its way and nothing held: the line needs no attention until the host acts.
    bool idle() const;
    // Brings everything up to the clock's present.
    void advance();

private:
    bool busyAt(qint64 t) const;
    void drain(qint64 t);
    void deliver(qint64 arrival);
    void collectReplies(qint64 t);
    void queueReply(const QByteArray &bytes, qint64 t);
    // When the line next changes by itself, or -1 when it would not.
    qint64 nextEventNs() const;
    bool writable() const;

    struct ReplyByte
    {
        char byte;
        qint64 arrivalNs;
    };

    ModuleModel &m_model;
    qint64 m_byteNs;
    bool m_ctsFlowControl = false;
    QByteArray m_fifo;
    qint64 m_headReadyNs = 0; // the head byte cannot start before this
    qint64 m_lineFreeNs = 0;  // the previous byte has arrived by then
    QByteArray m_input;       // the module's input buffer
    qint64 m_moduleNs = 0;    // the module has read everything due up to here
    std::deque<ReplyByte> m_replies;
    qint64 m_replyLineFreeNs = 0;
    QByteArray m_hostInput;
};
