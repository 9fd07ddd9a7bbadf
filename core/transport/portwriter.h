#pragma once

#include <QByteArray>

class Connection;

// Writes bytes to port 1 the way every sender does (the sending engine, and
// the Log Board players line by line): in writes of at most 64 bytes, each
// continued from its first unwritten byte after a partial write until all of
// it is out. A write that gets nothing through, or fails, is a port failure:
// the connection reports it ("COM port error", then offline) and the bytes
// not yet written are dropped.
class PortWriter
{
public:
    static constexpr int kChunkSize = 64;

    explicit PortWriter(Connection &connection);

    // False after a port failure, which has been reported by then.
    [[nodiscard]] bool write(const QByteArray &bytes);

private:
    Connection &m_connection;
};
