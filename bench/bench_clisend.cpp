// How fast Zepta sends a 128 KB command through the real serial device: with
// "zepta-cli send --file" into a pseudo-terminal whose far end reads as fast
// as it can (goal 300x the 115200-baud line rate), and into one read at the
// line's own 11,520 bytes a second (goal 99 % of it between the first byte at
// the far end and the last). The reference for both is write() of the same
// bytes into the same pseudo-terminal, measured in the same run. With strace
// on the PATH it also counts zepta-cli's poll and write calls.
//
//   bench_clisend [path/to/zepta-cli]
#include "benchsupport.h"
#include "support/pseudoterminal.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace {

constexpr qint64 kCommandBytes = 131072;
constexpr int kFastRuns = 5;
constexpr int kPacedRuns = 3; // 11.4 s each

using Bench::kLineRate;

void runCli(const QString &cli, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(cli, arguments);
    process.waitForFinished(60000);
    if (process.exitCode() != 0)
        std::printf("  zepta-cli: %s\n", process.readAllStandardError().constData());
}

// poll and write calls of one send, counted by strace.
void countCalls(const QString &cli, QStringList arguments, const PseudoTerminal &pty)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        return;
    Bench::PtyDrain drain(pty.masterFd());
    QProcess process;
    process.start(strace,
                  QStringList{"-f", "-c", "-e", "trace=poll,ppoll,write", "--", cli} + arguments);
    process.waitForFinished(60000);
    const QString report = QString::fromLocal8Bit(process.readAllStandardError());
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
    const QByteArray bytes(kCommandBytes, 'U');
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("command.txt"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != kCommandBytes)
            return 1;
    }
    PseudoTerminal pty;
    if (!pty.isValid())
        return 1;
    const QStringList send{"send", "--port", pty.slavePath(), "--baud", "115200", "--file", file};

    Bench::Samples fast;
    Bench::Samples fastRef;
    {
        Bench::PtyDrain drain(pty.masterFd());
        fastRef = Bench::rates(kFastRuns, kCommandBytes, drain,
                               [&] { Bench::writeAll(pty.slavePath(), bytes); });
        fast = Bench::rates(kFastRuns, kCommandBytes, drain, [&] { runCli(cli, send); });
    }
    std::printf("%lld bytes read as fast as possible: zepta-cli %s, write() %s\n",
                static_cast<long long>(kCommandBytes), qPrintable(Bench::rateText(fast)),
                qPrintable(Bench::rateText(fastRef)));

    Bench::Samples paced;
    Bench::Samples pacedRef;
    {
        Bench::PtyDrain drain(pty.masterFd(), kLineRate);
        pacedRef =
            Bench::rates(1, kCommandBytes, drain, [&] { Bench::writeAll(pty.slavePath(), bytes); });
        paced = Bench::rates(kPacedRuns, kCommandBytes, drain, [&] { runCli(cli, send); });
    }
    countCalls(cli, send, pty);

    Bench::printLineRows(QStringLiteral("128 KB command into a pty read at once (zepta-cli send)"),
                         QStringLiteral("128 KB command into a pty read at 11,520 B/s"), fast,
                         fastRef, paced, pacedRef, 300);
    return 0;
}
