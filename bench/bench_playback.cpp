// The main window's PLAY as users meet it: the real window (offscreen),
// online on a pseudo-terminal read as fast as bytes come, plays a Log Board of
// 100,000 records (700,000 bytes). Measures the rate between the first and
// the last byte at the far end (goal 100x the 115200-baud line rate) against
// write() of the same bytes into the same terminal, at once and a line a call,
// the longest event-loop gap meanwhile, and how long after a STOP click the
// sending ends: from the moment the click was due (a late event loop counts
// against Zepta) to the last byte at the far end or the end of the run,
// whichever is later.
#include "benchsupport.h"
#include "windowonpty.h"

#include "core/logboard/logrecord.h"

#include <QApplication>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRecords = 100000;
constexpr int kRuns = 3;
constexpr int kStopAfterMs = 200;

using Clock = Bench::PtyDrain::Clock;

const Codes kCommand{0x1f, 0x28, 0x67, 0x50, 0x04, 0x00, 0x00};

QString logBoard()
{
    const QString record = LogRecord::format(
        QStringLiteral("Character Brightness : Level 4 (43%)"),
        QStringLiteral("-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)"), kCommand);
    QString text;
    text.reserve(record.size() * kRecords);
    for (int i = 0; i < kRecords; ++i)
        text += record;
    return text;
}

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// write() of the same bytes into the same terminal, in calls of at most
// perWrite bytes: its rate at the far end.
double referenceRate(const QString &path, Bench::PtyDrain &drain, qsizetype perWrite)
{
    QByteArray bytes;
    for (int i = 0; i < kRecords; ++i)
        for (const qint16 code : kCommand)
            bytes.append(char(code));
    drain.reset();
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY);
    for (qsizetype done = 0; fd >= 0 && done < bytes.size();) {
        const qsizetype size = std::min(perWrite, bytes.size() - done);
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(size));
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    drain.waitFor(bytes.size());
    return bytes.size() / drain.firstToLastSeconds();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    WindowOnPty zepta;
    if (!zepta.goOnline())
        return 1;
    Bench::PtyDrain drain(zepta.pty().masterFd());
    Bench::GapMeter gaps;
    zepta.session().logBoard.setText(logBoard());
    const qint64 total = qint64(kRecords) * kCommand.size();
    const double idleMs = gaps.idleMs();

    Bench::Samples rates;
    Bench::Samples refRates;
    Bench::Samples lineRates;
    Bench::Samples runGaps;
    for (int run = 0; run < kRuns; ++run) {
        refRates.add(referenceRate(zepta.pty().slavePath(), drain, 1 << 20));
        // What one write() a line, as PLAY does, leaves of it: the pseudo-terminal's own
        // cost for each call.
        lineRates.add(referenceRate(zepta.pty().slavePath(), drain, kCommand.size()));
        drain.reset();
        gaps.restart();
        zepta.click("PlayCommandButton"); // returns when the run is over
        runGaps.add(double(gaps.longestMs()));
        drain.waitFor(total);
        if (drain.received() != total)
            std::printf("  a run delivered %lld of %lld bytes\n",
                        static_cast<long long>(drain.received()), static_cast<long long>(total));
        rates.add(drain.received() / drain.firstToLastSeconds());
        Bench::runEventsFor(100);
    }

    Bench::Samples stops;
    for (int run = 0; run < kRuns; ++run) {
        drain.reset();
        const Clock::time_point due = Clock::now() + std::chrono::milliseconds(kStopAfterMs);
        QTimer::singleShot(kStopAfterMs, Qt::PreciseTimer,
                           [&] { zepta.click("StopCommandButton"); });
        zepta.click("PlayCommandButton");
        const Clock::time_point ended = Clock::now();
        drain.waitFor(total, 100);
        stops.add(std::max(msBetween(due, ended), msBetween(due, drain.lastByteAt())));
        std::printf("STOP: %lld of %lld bytes went out\n", static_cast<long long>(drain.received()),
                    static_cast<long long>(total));
    }

    const double rate = rates.median();
    Bench::printRow({QStringLiteral("PLAY of 100,000 records in the window, pty read at once"),
                     rates.scaled(1e-6).text(2, QStringLiteral("MB/s")),
                     QStringLiteral("write(): %1; one write() a line: %2 = %3x line rate")
                         .arg(refRates.scaled(1e-6).text(1, QStringLiteral("MB/s")),
                              lineRates.scaled(1e-6).text(2, QStringLiteral("MB/s")))
                         .arg(lineRates.median() / Bench::kLineRate, 0, 'f', 0),
                     QStringLiteral("%1x line rate").arg(rate / Bench::kLineRate, 0, 'f', 0),
                     QStringLiteral(">= 100x line rate"), rate >= 100 * Bench::kLineRate});
    Bench::printGapRow(QStringLiteral("event-loop gap during that playback"), runGaps, idleMs);
    Bench::printRow({QStringLiteral("STOP during that playback: click to the last byte"),
                     stops.text(1, QStringLiteral("ms")), QString(), QString(),
                     QStringLiteral("<= %1 ms").arg(Bench::kGapGoalMs),
                     stops.median() <= Bench::kGapGoalMs});
    return 0;
}
