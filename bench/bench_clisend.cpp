// How fast zepta-cli sends when the line takes everything at once: a
// 131,071-byte command (the longest one argument can carry) through
// "zepta-cli send" into a pseudo-terminal whose far end reads as fast as it
// can, against cat writing the same bytes into the same kind of line. Prints
// the best of five runs: the bytes over the time from the first byte to the
// last at the far end, that as a multiple of the 115200-baud line rate
// (11,520 bytes a second; the goal is 300x), and the whole run with start-up.
// With strace on the PATH it also counts zepta-cli's poll and write calls.
//
//   bench_clisend [path/to/zepta-cli]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qint64 kCommandBytes = 131071;
constexpr double kLineRate = 11520.0;
constexpr int kRuns = 5;

using Clock = std::chrono::steady_clock;

struct Timing
{
    double transferSeconds = 0; // first byte to last at the far end
    double wholeSeconds = 0;    // start of the program to its end
    qint64 bytes = 0;
    QByteArray err; // what the program said on stderr
};

// A raw pseudo-terminal whose master end is read on a thread of its own.
class DrainedLine
{
public:
    DrainedLine()
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, &raw, nullptr) == 0)
            m_path = QString::fromLocal8Bit(name);
    }
    ~DrainedLine()
    {
        ::close(m_master);
        ::close(m_slave);
    }
    QString path() const { return m_path; }

    // Runs program and reads until expected bytes came (or 20 s went by).
    Timing run(const QString &program, const QStringList &arguments, const QString &outputFile)
    {
        Timing timing;
        Clock::time_point first;
        Clock::time_point last;
        std::thread reader([&] {
            char buffer[65536];
            const Clock::time_point give_up = Clock::now() + std::chrono::seconds(20);
            while (timing.bytes < kCommandBytes && Clock::now() < give_up) {
                pollfd p{m_master, POLLIN, 0};
                if (::poll(&p, 1, 100) <= 0)
                    continue;
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n <= 0)
                    continue;
                if (timing.bytes == 0)
                    first = Clock::now();
                timing.bytes += n;
                last = Clock::now();
            }
        });
        QProcess process;
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile);
        const Clock::time_point start = Clock::now();
        process.start(program, arguments);
        process.waitForFinished(60000);
        const Clock::time_point end = Clock::now();
        reader.join();
        timing.err = process.readAllStandardError();
        timing.transferSeconds = std::chrono::duration<double>(last - first).count();
        timing.wholeSeconds = std::chrono::duration<double>(end - start).count();
        return timing;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

Timing best(const std::function<Timing()> &measure)
{
    Timing result;
    result.transferSeconds = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        const Timing t = measure();
        if (t.bytes != kCommandBytes) {
            std::printf("  a run delivered %lld of %lld bytes\n", static_cast<long long>(t.bytes),
                        static_cast<long long>(kCommandBytes));
            return t;
        }
        result.bytes = t.bytes;
        result.transferSeconds = std::min(result.transferSeconds, t.transferSeconds);
        result.wholeSeconds =
            i == 0 ? t.wholeSeconds : std::min(result.wholeSeconds, t.wholeSeconds);
    }
    return result;
}

void print(const char *what, const Timing &t)
{
    const double rate = t.bytes / t.transferSeconds;
    std::printf("%-10s first to last byte %7.2f ms: %6.2f MB/s = %5.0fx the line rate; "
                "whole run %7.2f ms\n",
                what, t.transferSeconds * 1e3, rate / 1e6, rate / kLineRate, t.wholeSeconds * 1e3);
}

// poll and write calls of one send, counted by strace.
void countCalls(const QString &cli, const QStringList &arguments)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        return;
    DrainedLine line;
    QStringList args{"-f", "-c", "-e", "trace=poll,ppoll,write", "--", cli};
    args += arguments;
    args.replace(args.indexOf(QStringLiteral("@PORT@")), line.path());
    const QString report = QString::fromLocal8Bit(line.run(strace, args, QString()).err);
    const QRegularExpression row(QStringLiteral("^\\s*[0-9.]+\\s+[0-9.]+\\s+[0-9]+\\s+([0-9]+)"
                                                "\\s+(?:[0-9]+\\s+)?(\\w+)\\s*$"),
                                 QRegularExpression::MultilineOption);
    QStringList counts;
    for (auto match = row.globalMatch(report); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        if (m.captured(2) != QLatin1String("total"))
            counts << m.captured(2) + u' ' + m.captured(1);
    }
    std::printf("zepta-cli system calls for one send (strace): %s\n",
                qPrintable(counts.join(QStringLiteral(", "))));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString cli = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZEPTA_CLI_PATH);
    const QString text(kCommandBytes, u'U');
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("command.bin"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(text.toLatin1()) != kCommandBytes)
            return 1;
    }
    std::printf("%lld bytes into a pseudo-terminal read as fast as possible (best of %d); "
                "line rate 115200 baud = 11,520 bytes/s, goal 300x = 3.46 MB/s\n",
                static_cast<long long>(kCommandBytes), kRuns);
    DrainedLine line;
    print("cat", best([&] { return line.run(QStringLiteral("cat"), {file}, line.path()); }));
    const QStringList send{"send", "--port", "@PORT@", "--baud", "115200", text};
    print("zepta-cli", best([&] {
              QStringList arguments = send;
              arguments.replace(2, line.path());
              return line.run(cli, arguments, QString());
          }));
    countCalls(cli, send);
    return 0;
}
