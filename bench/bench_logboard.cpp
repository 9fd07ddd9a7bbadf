// Measures what a user waits for when saving a large Log Board or monitor:
// the exports and the binary save into real files through the temporary-file
// save, each beside a plain copy of the very bytes it wrote, measured in the
// same run. Prints time and the peak memory added over the input text.
#include "core/logboard/binarysave.h"
#include "core/logboard/exportformats.h"
#include "core/transport/codepage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const CodePage kCodePage(CodePage::Kind::Windows1252);

// kB from a "Name:   1234 kB" line of /proc/self/status; 0 where there is none.
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

// Writing 5 resets the peak resident size to the current one (Linux 4.0 on).
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

struct Measure
{
    double ms = 0;
    long extraKb = 0;
};

template<typename F> Measure measure(F &&f)
{
    resetPeak();
    const long before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    f();
    Measure m;
    m.ms = timer.nsecsElapsed() / 1e6;
    m.extraKb = statusKb("VmHWM:") - before;
    return m;
}

QString logBoard(qsizetype records)
{
    QString text;
    const QString record = QStringLiteral("*** Character Brightness : Level 4 (43%) ***\r\n"
                                          "*** -----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8) "
                                          "***\r\n"
                                          "PRT 1fh 28h 67h 50h 04h 00h 00h;\r\n\r\n");
    text.reserve(record.size() * records);
    for (qsizetype i = 0; i < records; ++i)
        text += record;
    return text;
}

void report(const char *what, const QString &path, const QString &error, const Measure &save,
            const QString &copyPath)
{
    if (!error.isEmpty()) {
        std::printf("%-34s refused in %.1f ms (+%ld kB): %s\n", what, save.ms, save.extraKb,
                    qPrintable(error.section(u':', 0, 0)));
        return;
    }
    QFile::remove(copyPath);
    const Measure copy = measure([&] { QFile::copy(path, copyPath); });
    const double mb = QFileInfo(path).size() / 1e6;
    std::printf("%-34s %7.1f MB %8.1f ms (+%6ld kB peak) | plain copy %7.1f ms (+%5ld kB) | "
                "ratio %.1f\n",
                what, mb, save.ms, save.extraKb, copy.ms, copy.extraKb, save.ms / copy.ms);
}

void exportOne(const char *what, LogBoardExport::Format format, const QString &text,
               const QTemporaryDir &dir)
{
    const QString path =
        dir.filePath(QStringLiteral("board.") + LogBoardExport::formatName(format));
    QString error;
    const Measure save =
        measure([&] { error = LogBoardExport::save(path, format, text, kCodePage); });
    report(what, path, error, save, dir.filePath(QStringLiteral("copy")));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    const QString board = logBoard(250000); // 1,000,000 lines
    std::printf("Log Board: 1,000,000 lines, %.1f MB of text (%.1f MB in memory)\n",
                board.size() / 1e6, board.size() * 2 / 1e6);
    exportOne("export txt (1,000,000 lines)", LogBoardExport::Format::Text, board, dir);
    exportOne("export asm (1,000,000 lines)", LogBoardExport::Format::Assembler, board, dir);
    exportOne("export c   (1,000,000 lines)", LogBoardExport::Format::C, board, dir);
    exportOne("export hex (1,000,000 lines)", LogBoardExport::Format::IntelHex, board, dir);
    // The largest image the two-byte count allows: 9,362 records of 7 bytes.
    const QString largestHex = logBoard(65535 / 7);
    exportOne("export hex (65,534 bytes)", LogBoardExport::Format::IntelHex, largestHex, dir);

    QString monitor;
    for (int i = 0; i < 100000; ++i)
        monitor += QStringLiteral("[T]1F 28 67 50 04 00 00 \r\n");
    std::printf("Monitor: 100,000 lines, %.1f MB of text\n", monitor.size() / 1e6);
    const QString binPath = dir.filePath(QStringLiteral("out.dat"));
    QString error;
    const Measure save = measure([&] { error = BinarySave::save(binPath, monitor, kCodePage); });
    report("binary save (100,000 lines)", binPath, error, save,
           dir.filePath(QStringLiteral("copy")));
    return 0;
}
