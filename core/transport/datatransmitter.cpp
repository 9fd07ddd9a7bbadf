#include "core/transport/datatransmitter.h"

#include "core/serial/serialline.h"
#include "core/transport/connection.h"
#include "core/transport/eventwait.h"
#include "core/transport/monitorformat.h"
#include "core/transport/outputmonitor.h"
#include "core/transport/portwriter.h"
#include "core/transport/prompt.h"

#include <QThread>

DataTransmitter::DataTransmitter(Connection &connection, PortWriter &writer, OutputMonitor &monitor,
                                 Prompt &prompt, const CodePage &codePage)
    : m_connection(connection)
    , m_writer(writer)
    , m_monitor(monitor)
    , m_prompt(prompt)
    , m_codePage(codePage)
{
}

void DataTransmitter::transmit(const Codes &codes)
{
    if (m_connection.isOnline())
        send(codes);
    refreshMonitor(codes);
    if (!m_connection.isOnline()) {
        m_monitor.setResponse(QString());
    } else {
        const QString reply = MonitorFormat::replyText(m_reply, m_replyKind, m_codePage);
        if (!reply.isNull())
            m_monitor.setResponse(reply);
    }
    m_replyKind = ReplyKind::Unchanged;
}

bool DataTransmitter::send(const Codes &codes)
{
    // Unchecked: a failed flush leaves stale bytes at worst, and a port that is
    // really gone shows in the write or the reply read that follows.
    if (m_expectReply)
        static_cast<void>(m_connection.line().discardInput());

    // The bytes of a segment (up to the next "\e" or "\k", or the end) go to
    // the port writer together, which writes them 64 at a time, so that it can
    // keep a paced line busy from one write to the next.
    enum class Stop { None, Flush, Key };
    QByteArray segment;
    qsizetype i = 0;
    while (i < codes.size()) {
        Stop stop = Stop::None;
        while (i < codes.size() && stop == Stop::None) {
            const qint16 e = codes[i++];
            if (e == Marker::Pause) {
                // Whole 64-byte writes go out before the pause, as each went
                // the moment it was full; the rest waits for the segment's end.
                if (!writeOut(segment,
                              segment.size() / PortWriter::kChunkSize * PortWriter::kChunkSize))
                    return false;
                // Stopped (Ctrl+C on the command line): no pause is left to keep.
                if (m_writer.stopped())
                    return false;
                EventWait::waitProcessing(kPauseMs);
            } else if (e == Marker::Flush) {
                stop = Stop::Flush;
            } else if (e == Marker::KeyWait) {
                stop = Stop::Key;
            } else {
                segment.append(char(e));
            }
        }
        if (!writeOut(segment, segment.size()))
            return false;
        EventWait::processPending();
        if (stop == Stop::Key)
            m_prompt.keyWait(QStringLiteral("Hit Enter Key!"));
    }
    if (m_expectReply)
        return readReply();
    return true;
}

void DataTransmitter::switchFlowControlOff()
{
    if (!m_connection.isOnline())
        return;
    if (const Result<void> changed = m_connection.line().setFlowControl(FlowControl::None);
        !changed)
        m_connection.reportPortError(changed.error());
}

bool DataTransmitter::writeOut(QByteArray &segment, qsizetype count)
{
    if (count == 0)
        return true;
    // The user may have gone offline while a pause or key-wait let events run:
    // the rest of the command is then dropped quietly, as it would be offline.
    if (!m_connection.isOnline()) {
        segment.clear();
        return false;
    }
    const bool written = m_writer.write(segment.first(count));
    segment.remove(0, count);
    return written;
}

bool DataTransmitter::readReply()
{
    m_expectReply = false;
    m_reply.fill('\0');
    int remaining = kReplySize;
    int got = 0;
    int tries = 20;
    // A poll before the first byte uses one try and sleeps 8 ms; every poll after
    // that uses two and sleeps 2 ms, each asking for the rest of the 20 bytes.
    while (tries > 0 && remaining > 0) {
        --tries;
        const Result<QByteArray> read = m_connection.line().read(remaining);
        if (!read) {
            m_connection.reportPortError(read.error());
            return false;
        }
        const int n = int(read->size());
        m_reply.replace(got, n, *read);
        remaining -= n;
        got += n;
        if (n == 0 && got == 0) {
            QThread::msleep(8);
        } else {
            QThread::msleep(2);
            --tries;
        }
    }
    EventWait::processPending();
    return true;
}

void DataTransmitter::refreshMonitor(const Codes &codes)
{
    m_monitor.appendHistory(codes);
    m_monitor.showCodes(codes);
}
