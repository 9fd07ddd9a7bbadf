#pragma once

#include <QByteArray>

class Connection;

// Writes bytes to the port the way every sender does (the sending engine, and
// the Log Board players line by line): in writes of at most 64 bytes, each
// continued from its first byte that did not leave after a partial write until
// all of it is out. On a line whose queue the port tells, the next write
// joins the queue while the bytes before it are still leaving, so a paced line
// does not fall idle; write() returns only once all its bytes left. A write
// that gets nothing through, or fails, is a port failure: the connection
// reports it ("COM port error", then offline) and the bytes not yet written
// are dropped.
//
// One write at a time: the write queue sees that no writer starts while
// another is under way. A write started inside another (from an event that
// ran while it waited) is refused without touching the one under way, which
// STOP must still be able to abandon.
class PortWriter
{
public:
    static constexpr int kChunkSize = 64;

    explicit PortWriter(Connection &connection);

    // False after a port failure, which has been reported by then, after
    // stop(), abandon() or going offline meanwhile (all quietly), and for a
    // write started while another is under way (nothing of it is sent).
    [[nodiscard]] bool write(const QByteArray &bytes);

    // Bytes that left the port through this writer so far.
    qint64 bytesWritten() const { return m_bytesWritten; }
    // Nothing more goes out: the write under way gives up at once, as
    // abandon() makes it, and every later one returns false without a port
    // failure being told (Ctrl+C on the command line).
    void stop();
    bool stopped() const { return m_stopped; }
    // The write under way (if any) gives up now, even while the line takes
    // nothing: it returns false without a port failure, and its bytes that did
    // not leave never go (STOP during a playback). Later writes are not touched.
    void abandon();

private:
    Connection &m_connection;
    qint64 m_bytesWritten = 0;
    bool m_stopped = false;
    bool m_writing = false;
    bool m_abandoned = false;
};
