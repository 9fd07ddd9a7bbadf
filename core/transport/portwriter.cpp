#include "core/transport/portwriter.h"

#include "core/serial/serialline.h"
#include "core/transport/connection.h"

#include <QScopeGuard>

#include <algorithm>

PortWriter::PortWriter(Connection &connection)
    : m_connection(connection)
{
}

void PortWriter::stop()
{
    m_stopped = true;
    abandon();
}

void PortWriter::abandon()
{
    if (!m_writing)
        return;
    m_abandoned = true;
    m_connection.line().setWriteAbandoned(true);
}

bool PortWriter::write(const QByteArray &bytes)
{
    if (m_writing) {
        // Its bytes would go out inside the other write's, and its end would
        // clear the state that lets STOP abandon that write.
        qWarning("PortWriter: a write started while another was under way was refused");
        return false;
    }
    SerialLine &line = m_connection.line();
    m_writing = true;
    const auto finished = qScopeGuard([this, &line] {
        m_writing = false;
        m_abandoned = false;
        line.setWriteAbandoned(false);
    });
    qsizetype done = 0;     // bytes that left the port
    qsizetype writeEnd = 0; // end of the write under way
    while (done < bytes.size()) {
        const int inFlight = line.bytesInFlight();
        if (m_abandoned || m_stopped || !m_connection.isOnline()) {
            // Given up, or taken offline while events ran: nothing new goes.
            // What is on its way counts once it left; abandoned, the port
            // drops it at once instead, counting what left meanwhile.
            if (inFlight == 0)
                return false;
            writeEnd = done + inFlight;
        } else if (inFlight > 0 || done >= writeEnd) {
            // A write starts at the first byte that did not leave. After a
            // partial write it is the rest of that write; while bytes are
            // still queued it is those and as many new ones as make 64.
            writeEnd = std::min<qsizetype>(done + kChunkSize, bytes.size());
        }
        const Result<int> n = line.write(QByteArrayView(bytes).sliced(done, writeEnd - done));
        if (m_abandoned) {
            // Abandoned in the middle of it, or in the event turn after it.
            const int left = n ? *n : 0;
            done += left;
            m_bytesWritten += left;
            continue;
        }
        // A failure, or nothing through within the write time-out (CTS held low).
        if (!n) {
            m_connection.reportPortError(n.error());
            return false;
        }
        done += *n;
        m_bytesWritten += *n;
    }
    return true;
}
