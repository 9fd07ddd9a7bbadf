// How fast zepta-sim --tap passes a program's bytes on to the module: a
// program writes a 128 KB command (plain blocking write() calls) into the
// tap's terminal, and the module's end is a pseudo-terminal read as fast as
// it can, or at the line's own 11,520 bytes a second (goal 99 % of it between
// the first byte at the far end and the last). The reference for both is the
// same write() straight into the module's terminal, measured in the same run.
// The tap decodes and prints every command meanwhile (printed to /dev/null).
//
//   bench_tap [path/to/zepta-sim]
#include "benchsupport.h"
#include "support/pseudoterminal.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>

namespace {

constexpr qint64 kCommandBytes = 131072;
constexpr int kFastRuns = 5;
constexpr int kPacedRuns = 3; // 11.4 s each

using Bench::kLineRate;

// zepta-sim --tap on the module's terminal; its own terminal is at link.
class Tap
{
public:
    Tap(const QString &sim, const QString &modulePath, const QString &link)
    {
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(sim, {"--tap", modulePath, "--baud", "115200", "--link", link});
        for (int i = 0; i < 500 && !QFileInfo(link).isSymLink(); ++i)
            QThread::msleep(10);
    }
    ~Tap()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        m_process.waitForFinished(10000);
        if (m_process.exitCode() != 0)
            std::printf("  zepta-sim: %s\n", m_process.readAllStandardError().constData());
    }

private:
    QProcess m_process;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString sim = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZEPTA_SIM_PATH);
    const QByteArray bytes(kCommandBytes, 'U');
    PseudoTerminal module;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("tap"));
    if (!module.isValid() || !dir.isValid())
        return 1;

    Bench::Samples fast;
    Bench::Samples fastRef;
    Bench::Samples paced;
    Bench::Samples pacedRef;
    {
        Bench::PtyDrain drain(module.masterFd());
        fastRef = Bench::rates(kFastRuns, kCommandBytes, drain,
                               [&] { Bench::writeAll(module.slavePath(), bytes); });
    }
    {
        Bench::PtyDrain drain(module.masterFd(), kLineRate);
        pacedRef = Bench::rates(1, kCommandBytes, drain,
                                [&] { Bench::writeAll(module.slavePath(), bytes); });
    }
    {
        const Tap tap(sim, module.slavePath(), link);
        {
            Bench::PtyDrain drain(module.masterFd());
            fast = Bench::rates(kFastRuns, kCommandBytes, drain,
                                [&] { Bench::writeAll(link, bytes); });
        }
        Bench::PtyDrain drain(module.masterFd(), kLineRate);
        paced =
            Bench::rates(kPacedRuns, kCommandBytes, drain, [&] { Bench::writeAll(link, bytes); });
    }
    std::printf("%lld bytes read as fast as possible: through the tap %s, write() %s\n",
                static_cast<long long>(kCommandBytes), qPrintable(Bench::rateText(fast)),
                qPrintable(Bench::rateText(fastRef)));

    Bench::printLineRows(
        QStringLiteral("128 KB through zepta-sim --tap into a pty read at once"),
        QStringLiteral("128 KB through zepta-sim --tap into a pty read at 11,520 B/s"), fast,
        fastRef, paced, pacedRef, 100);
    return 0;
}
