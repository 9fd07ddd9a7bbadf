#pragma once

// What every benchmark program shares: repeats and their median, the one row
// format that tools/bench.sh gathers into a single table, the process's
// memory, the event loop's longest stall, and the far end of a
// pseudo-terminal that reads as fast as it can or at a UART's pace.

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace Bench {

constexpr double kLineRate = 11520.0; // 115200 baud, 8N1: 10 bits a byte

// One measure taken over repeats.
class Samples
{
public:
    void add(double value) { m_values.push_back(value); }
    bool isEmpty() const { return m_values.empty(); }
    double median() const;
    double min() const;
    double max() const;
    Samples scaled(double factor) const;
    // "12.3 ms (11.9-13.0)": the median, then the spread of the repeats.
    QString text(int decimals, const QString &unit) const;

private:
    std::vector<double> m_values;
};

// A row of the suite's table: measure | Zepta's figure | reference | ratio |
// goal | met. Printed as a Markdown table row (a line that starts with '|');
// tools/bench.sh keeps those lines of every program and drops the rest.
struct Row
{
    QString measure;
    QString zepta;
    QString reference;
    QString ratio;
    QString goal;
    bool met = false;
};
void printRow(const Row &row);

// The longest the window may stall while it works.
constexpr double kGapGoalMs = 50;
// A row for the event loop's longest gap, against the idle window's own.
void printGapRow(const QString &measure, const Samples &gaps, double idleMs);

// "Name:   1234 kB" lines of /proc/self/status, in kB; 0 where there is none.
long statusKb(const char *name);
double residentMb();
// Resets the peak resident size (VmHWM) to the current one (Linux 4.0 on).
void resetPeak();

// Runs the event loop for ms.
void runEventsFor(int ms);

// The event loop's longest stall: the largest gap between ticks of a 1 ms timer.
class GapMeter
{
public:
    GapMeter();
    void restart();
    qint64 longestMs() const { return m_longest; }
    // The idle window's longest gap over ms, once it settled: the timer's own
    // jitter, at least 1.
    double idleMs(int ms = 1000);

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

// The far end of a pseudo-terminal, read on a thread of its own: as fast as
// bytes come, or at most bytesPerSecond, as a UART takes them. A paced end
// never catches up on time the writer left the line idle: its allowance
// holds only what a 128-byte FIFO would.
class PtyDrain
{
public:
    using Clock = std::chrono::steady_clock;

    explicit PtyDrain(int masterFd, double bytesPerSecond = 0);
    ~PtyDrain();
    PtyDrain(const PtyDrain &) = delete;
    PtyDrain &operator=(const PtyDrain &) = delete;

    qint64 received() const { return m_received; }
    // Forgets what came so far; the next byte is the first again.
    void reset();
    // Waits (without events) until count bytes came in all, or timeoutMs
    // passed without a byte; true when they came.
    bool waitFor(qint64 count, int timeoutMs = 5000) const;
    // Seconds from the first byte since reset() to the last.
    double firstToLastSeconds() const;
    Clock::time_point lastByteAt() const;

private:
    void run(int fd, double bytesPerSecond);

    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_received{0};
    std::atomic<qint64> m_firstNs{0};
    std::atomic<qint64> m_lastNs{0};
    std::thread m_thread;
};

// The reference writer: the bytes with plain blocking write() calls.
void writeAll(const QString &path, const QByteArray &bytes);

// Bytes a second between the first and the last of `bytes` bytes at the
// far end, for each of `runs` runs of send; a run whose bytes did not all
// come counts 0.
Samples rates(int runs, qint64 bytes, PtyDrain &drain, const std::function<void()> &send);

// "12.34 MB/s (lowest-highest)".
QString rateText(const Samples &s);

// The two rows of a 128 KB run into a pseudo-terminal: read at once (at least
// fastGoal times the line rate) and read at the line rate (at least 99 % of
// it), each beside plain write() in the same run.
void printLineRows(const QString &fastName, const QString &pacedName, const Samples &fast,
                   const Samples &fastRef, const Samples &paced, const Samples &pacedRef,
                   int fastGoal);

} // namespace Bench
