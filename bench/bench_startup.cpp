// Start-up as users meet it: the real zepta, started in an empty folder (no
// settings file: offline on "COM1"), from the moment it is started to its
// first window shown and painted, and its resident memory then. The
// reference, measured in the same run with the same probe, is the smallest
// Qt Widgets program: an empty window. The probe (startprobe/) is a Qt plugin
// loaded by QT_QPA_GENERIC_PLUGINS, so zepta itself is not changed.
//
//   bench_startup                   offscreen
//   xvfb-run -a bench_startup xcb   under Xvfb
#include "benchsupport.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kRuns = 7;
constexpr double kGoalMs = 200;
constexpr double kGoalMb = 45;

struct Start
{
    Bench::Samples ms;
    Bench::Samples mb;
};

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One start of program, timed by the probe's line on its stderr.
bool startOnce(const QString &program, const QStringList &arguments, const QString &platform,
               Start &start)
{
    QTemporaryDir folder;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(ZEPTA_PROBE_DIR));
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("zeptastartprobe"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder.path());
    const qint64 startedNs = nowNs();
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        process.kill();
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    const qsizetype at = err.indexOf(QLatin1String("zepta-start-probe "));
    const QStringList fields = err.mid(at).section(u'\n', 0, 0).split(u' ');
    if (at < 0 || fields.size() != 4) {
        std::printf("  %s gave no probe line: %s\n", qPrintable(program), qPrintable(err));
        return false;
    }
    start.ms.add((fields[1].toLongLong() - startedNs) / 1e6);
    start.mb.add(fields[2].toLong() / 1024.0);
    return true;
}

int emptyWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--empty-window") == 0)
        return emptyWindow(argc, argv);
    QCoreApplication app(argc, argv);
    const QString platform =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("offscreen");
    const QString self = QCoreApplication::applicationFilePath();

    Start zepta;
    Start empty;
    for (int run = 0; run < kRuns; ++run) {
        if (!startOnce(QStringLiteral(ZEPTA_PATH), {}, platform, zepta) ||
            !startOnce(self, {QStringLiteral("--empty-window")}, platform, empty))
            return 1;
    }
    const QString where = platform == QLatin1String("xcb") ? QStringLiteral("Xvfb") : platform;
    Bench::printRow({QStringLiteral("start-up to the first shown window (%1)").arg(where),
                     zepta.ms.text(0, QStringLiteral("ms")),
                     QStringLiteral("empty Qt window: ") + empty.ms.text(0, QStringLiteral("ms")),
                     QStringLiteral("%1x").arg(zepta.ms.median() / empty.ms.median(), 0, 'f', 2),
                     QStringLiteral("<= %1 ms").arg(kGoalMs), zepta.ms.median() <= kGoalMs});
    Bench::printRow({QStringLiteral("resident memory at that first window (%1)").arg(where),
                     zepta.mb.text(1, QStringLiteral("MB")),
                     QStringLiteral("empty Qt window: ") + empty.mb.text(1, QStringLiteral("MB")),
                     QStringLiteral("%1x").arg(zepta.mb.median() / empty.mb.median(), 0, 'f', 2),
                     QStringLiteral("<= %1 MB").arg(kGoalMb), zepta.mb.median() <= kGoalMb});
    return 0;
}
