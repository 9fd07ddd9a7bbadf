#include "core/transport/portwriter.h"

#include "core/serial/porttable.h"
#include "core/session/connection.h"

#include <algorithm>

PortWriter::PortWriter(Connection &connection)
    : m_connection(connection)
{
}

bool PortWriter::write(const QByteArray &bytes)
{
    for (qsizetype chunk = 0; chunk < bytes.size(); chunk += kChunkSize) {
        int done = int(chunk);
        int pending = int(std::min<qsizetype>(kChunkSize, bytes.size() - chunk));
        while (pending > 0) {
            if (m_stopped)
                return false;
            const int n = m_connection.ports().CommWrite(Connection::kPort, bytes, pending, done);
            // Nothing through within the write time-out (CTS held low) counts as failed.
            if (n < 1) {
                m_connection.reportPortError();
                return false;
            }
            pending -= n;
            done += n;
            m_bytesWritten += n;
        }
    }
    return true;
}
