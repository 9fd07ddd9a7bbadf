#include "core/transport/portwriter.h"

#include "core/serial/porttable.h"
#include "core/session/connection.h"

#include <QScopeGuard>

#include <algorithm>

PortWriter::PortWriter(Connection &connection)
    : m_connection(connection)
{
}

void PortWriter::abandon()
{
    if (!m_writing)
        return;
    m_abandoned = true;
    m_connection.ports().setWriteAbandoned(Connection::kPort, true);
}

bool PortWriter::write(const QByteArray &bytes)
{
    PortTable &ports = m_connection.ports();
    m_writing = true;
    const auto finished = qScopeGuard([this, &ports] {
        m_writing = false;
        m_abandoned = false;
        ports.setWriteAbandoned(Connection::kPort, false);
    });
    qsizetype done = 0;     // bytes that left the port
    qsizetype writeEnd = 0; // end of the write under way
    while (done < bytes.size()) {
        if (m_abandoned)
            return false; // what was queued is dropped already
        const int inFlight = ports.bytesInFlight(Connection::kPort);
        if (m_stopped || !m_connection.comport_online()) {
            // Stopped, or taken offline while events ran: what is on its way
            // still counts once it left, nothing new goes.
            if (inFlight == 0)
                return false;
            writeEnd = done + inFlight;
        } else if (inFlight > 0 || done >= writeEnd) {
            // A write starts at the first byte that did not leave. After a
            // partial write it is the rest of that write; while bytes are
            // still queued it is those and as many new ones as make 64.
            writeEnd = std::min<qsizetype>(done + kChunkSize, bytes.size());
        }
        const int n = ports.CommWrite(Connection::kPort, bytes, int(writeEnd - done), int(done));
        if (m_abandoned) {
            m_bytesWritten += std::max(n, 0);
            return false;
        }
        // Nothing through within the write time-out (CTS held low) counts as failed.
        if (n < 1) {
            m_connection.reportPortError();
            return false;
        }
        done += n;
        m_bytesWritten += n;
    }
    return true;
}
