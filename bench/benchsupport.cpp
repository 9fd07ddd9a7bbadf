#include "benchsupport.h"

#include <QEventLoop>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace Bench {

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               PtyDrain::Clock::now().time_since_epoch())
        .count();
}

// A paced end may read this much at once after a short oversleep of its
// thread, but no more: time the line stood idle is lost, as on a UART.
constexpr double kFifoBytes = 128;

} // namespace

double Samples::median() const
{
    if (m_values.empty())
        return 0;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double Samples::min() const
{
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}

double Samples::max() const
{
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

Samples Samples::scaled(double factor) const
{
    Samples out;
    for (const double value : m_values)
        out.add(value * factor);
    return out;
}

QString Samples::text(int decimals, const QString &unit) const
{
    const QString sep = unit.isEmpty() ? QString() : QStringLiteral(" ");
    if (m_values.size() < 2)
        return QString::number(median(), 'f', decimals) + sep + unit;
    return QStringLiteral("%1%2%3 (%4-%5)")
        .arg(QString::number(median(), 'f', decimals), sep, unit,
             QString::number(min(), 'f', decimals), QString::number(max(), 'f', decimals));
}

void printRow(const Row &row)
{
    std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(row.measure), qPrintable(row.zepta),
                qPrintable(row.reference), qPrintable(row.ratio), qPrintable(row.goal),
                row.met ? "yes" : "**NO**");
    std::fflush(stdout);
}

void printGapRow(const QString &measure, const Samples &gaps, double idleMs)
{
    printRow({measure, gaps.text(0, QStringLiteral("ms")),
              QStringLiteral("idle: %1 ms").arg(idleMs, 0, 'f', 0),
              QStringLiteral("%1x idle").arg(gaps.median() / idleMs, 0, 'f', 1),
              QStringLiteral("<= %1 ms").arg(kGapGoalMs), gaps.median() <= kGapGoalMs});
}

long statusKb(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

double residentMb()
{
    return statusKb("VmRSS:") / 1024.0;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

GapMeter::GapMeter()
{
    m_ticker.setInterval(1);
    m_ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_ticker, &QTimer::timeout,
                     [this] { m_longest = std::max(m_longest, m_sinceTick.restart()); });
    m_ticker.start();
    m_sinceTick.start();
}

void GapMeter::restart()
{
    m_longest = 0;
    m_sinceTick.restart();
}

double GapMeter::idleMs(int ms)
{
    runEventsFor(300); // a window shown just now lays out and paints first
    restart();
    runEventsFor(ms);
    return std::max<double>(1, double(m_longest));
}

PtyDrain::PtyDrain(int masterFd, double bytesPerSecond)
    : m_thread([this, masterFd, bytesPerSecond] { run(masterFd, bytesPerSecond); })
{
}

PtyDrain::~PtyDrain()
{
    m_stop = true;
    m_thread.join();
}

void PtyDrain::reset()
{
    m_received = 0;
    m_firstNs = 0;
    m_lastNs = 0;
}

bool PtyDrain::waitFor(qint64 count, int timeoutMs) const
{
    qint64 seen = m_received;
    auto quietSince = Clock::now();
    while (m_received < count) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (m_received != seen) {
            seen = m_received;
            quietSince = Clock::now();
        } else if (Clock::now() - quietSince > std::chrono::milliseconds(timeoutMs)) {
            return false;
        }
    }
    return true;
}

double PtyDrain::firstToLastSeconds() const
{
    return (m_lastNs - m_firstNs) / 1e9;
}

PtyDrain::Clock::time_point PtyDrain::lastByteAt() const
{
    return Clock::time_point(std::chrono::nanoseconds(m_lastNs.load()));
}

void PtyDrain::run(int fd, double bytesPerSecond)
{
    char buffer[65536];
    double allowance = 0;
    qint64 before = nowNs();
    while (!m_stop) {
        qint64 want = sizeof buffer;
        if (bytesPerSecond > 0) {
            // Wake every millisecond and take what the line carried meanwhile.
            ::usleep(1000);
            const qint64 now = nowNs();
            allowance = std::min(kFifoBytes, allowance + (now - before) * bytesPerSecond / 1e9);
            before = now;
            want = qint64(allowance);
            if (want == 0)
                continue;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, bytesPerSecond > 0 ? 0 : 20) <= 0)
            continue;
        const ssize_t n = ::read(fd, buffer, size_t(want));
        if (n <= 0)
            continue;
        const qint64 at = nowNs();
        if (m_received == 0)
            m_firstNs = at;
        m_lastNs = at;
        m_received += n;
        allowance -= double(n);
    }
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY);
    qsizetype done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
}

Samples rates(int runs, qint64 bytes, PtyDrain &drain, const std::function<void()> &send)
{
    Samples samples;
    for (int i = 0; i < runs; ++i) {
        drain.reset();
        send();
        if (!drain.waitFor(bytes) || drain.received() != bytes) {
            std::printf("  a run delivered %lld of %lld bytes\n",
                        static_cast<long long>(drain.received()), static_cast<long long>(bytes));
            samples.add(0);
            continue;
        }
        samples.add(bytes / drain.firstToLastSeconds());
    }
    return samples;
}

QString rateText(const Samples &s)
{
    return s.scaled(1e-6).text(2, QStringLiteral("MB/s"));
}

void printLineRows(const QString &fastName, const QString &pacedName, const Samples &fast,
                   const Samples &fastRef, const Samples &paced, const Samples &pacedRef,
                   int fastGoal)
{
    printRow({fastName, rateText(fast), QStringLiteral("write(): ") + rateText(fastRef),
              QStringLiteral("%1x line rate").arg(fast.median() / kLineRate, 0, 'f', 0),
              QStringLiteral(">= %1x line rate").arg(fastGoal),
              fast.median() >= fastGoal * kLineRate});
    printRow({pacedName, paced.scaled(100 / kLineRate).text(2, QStringLiteral("%")),
              QStringLiteral("write(): ") +
                  pacedRef.scaled(100 / kLineRate).text(2, QStringLiteral("%")),
              QStringLiteral("%1 of write()").arg(paced.median() / pacedRef.median(), 0, 'f', 3),
              QStringLiteral(">= 99 % of line rate"), paced.median() >= 0.99 * kLineRate});
}

} // namespace Bench
