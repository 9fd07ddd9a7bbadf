// A write counts only the bytes that left the port. Measured through the
// sending engine on the test fake's model of a UART: a 4 KB kernel queue that
// drains at 11,520 bytes a second (115200 baud), with or without a 16-byte
// transmitter FIFO the queue count leaves out (as a 16550's driver reports).
//
//   paced line: a 32 KB command, its time against the line's own (goal >= 99 %
//               of the line rate) and the CPU it costs;
//   stopped line (CTS held low): how many 64-byte commands are reported as
//               sent before the first "COM port error", against the bytes
//               that really left.
#include "support/fakesession.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

namespace {

constexpr qint64 kLineRate = 11520;
constexpr int kCommandBytes = 32768;

QString plainText(int size)
{
    QString text;
    text.reserve(size);
    for (int i = 0; i < size; ++i)
        text += QChar(0x20 + i % 0x5F);
    return text;
}

// Sends one command as a button does; true unless "COM port error" was told.
bool issue(FakeSession &session, const QString &text)
{
    const qsizetype told = session.prompt.messages().size();
    session.transport.issue(Command{text, QStringLiteral("bench"), QString()});
    return session.prompt.messages().size() == told;
}

void pacedLine(qint64 transmitterHolds)
{
    FakeSession session;
    session.serialLine.setTimeouts(SerialLine::kReadTimeoutMs, SerialLine::kWriteTimeoutPerByteMs);
    session.line->queueCapacity = 4096;
    session.line->lineRate = kLineRate;
    session.line->transmitterHolds = transmitterHolds;
    session.goOnline(115200);

    const QString text = plainText(kCommandBytes);
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    const bool sent = issue(session, text);
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double seconds = timer.nsecsElapsed() / 1e9;
    session.line->advance();
    const qint64 gone =
        session.line->wire.size() + std::min<qint64>(session.line->queue.size(), transmitterHolds);
    const double lineSeconds = double(kCommandBytes) / kLineRate;
    std::printf("paced line, %2lld-byte FIFO: %d bytes in %.3f s, the line needs %.3f s: "
                "%.2f %% of the line rate; CPU %.0f %% of one core; %s, %lld bytes on the "
                "wire when it returned\n",
                static_cast<long long>(transmitterHolds), kCommandBytes, seconds, lineSeconds,
                100.0 * lineSeconds / seconds, 100.0 * cpuSeconds / seconds,
                sent ? "reported sent" : "FAILED", static_cast<long long>(gone));
}

void stoppedLine()
{
    FakeSession session;
    // Two milliseconds a byte instead of a second, so a failed write ends in
    // 128 ms; what counts is how many commands seemed to go before it.
    session.serialLine.setTimeouts(SerialLine::kReadTimeoutMs, 2);
    session.line->queueCapacity = 4096;
    session.line->lineRate = kLineRate;
    session.line->heldOff = true;
    session.goOnline(115200);

    const QString text = plainText(64);
    int reported = 0;
    while (reported < 1000 && issue(session, text))
        ++reported;
    session.line->advance();
    std::printf("stopped line: %d commands of 64 bytes reported as sent before \"COM port "
                "error\"; %lld bytes left the port, %lld were dropped from the queue, "
                "%lld are still queued to go out later\n",
                reported, static_cast<long long>(session.line->wire.size()),
                static_cast<long long>(session.line->purgedFromQueue),
                static_cast<long long>(session.line->queue.size()));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    pacedLine(0);
    pacedLine(16);
    stoppedLine();
    return 0;
}
