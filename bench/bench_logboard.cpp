// Measures what a user waits for when saving a large Log Board or monitor:
// the exports and the binary save into real files through the temporary-file
// save, each beside a plain copy of the very bytes it wrote, measured in the
// same run. Prints time and the peak memory added over the input text.
#include "benchsupport.h"

#include "core/base/codepage.h"
#include "core/logboard/binarysave.h"
#include "core/logboard/exportformats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdio>
#include <functional>

namespace {

const CodePage kCodePage(CodePage::Kind::Windows1252);

constexpr int kRuns = 3;

struct Measure
{
    Bench::Samples ms;
    Bench::Samples extraMb; // peak resident size over the size before
};

template<typename F> void measureOnce(Measure &m, F &&f)
{
    Bench::resetPeak();
    const long before = Bench::statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    f();
    m.ms.add(timer.nsecsElapsed() / 1e6);
    m.extraMb.add((Bench::statusKb("VmHWM:") - before) / 1024.0);
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

// The user's text of a failed save, empty when saved.
QString failureText(const Result<void> &saved)
{
    return saved ? QString() : saved.error().text;
}

// A refusal instead of a file: how long the user waits for the message.
void refusalRow(const QString &what, const std::function<Result<void>()> &save)
{
    Measure refusing;
    QString error;
    for (int run = 0; run < kRuns; ++run)
        measureOnce(refusing, [&] { error = failureText(save()); });
    std::printf("%s: %s\n", qPrintable(what), qPrintable(error));
    Bench::printRow(
        {what + QStringLiteral(" (refused: more than 65,535 bytes)"),
         QStringLiteral("message after %1").arg(refusing.ms.text(0, QStringLiteral("ms"))),
         QString(), QString(), QStringLiteral("<= 1 s"),
         !error.isEmpty() && refusing.ms.median() <= 1000});
}

// Saves kRuns times, each beside a plain copy of the file it wrote, and
// prints the row. inputMb is the text as a file in the code page: one byte a
// character.
void saveRow(const QString &what, double inputMb, const QTemporaryDir &dir,
             const std::function<Result<void>(const QString &path)> &save)
{
    const QString path = dir.filePath(QStringLiteral("saved"));
    const QString copyPath = dir.filePath(QStringLiteral("copy"));
    Measure saving;
    Measure copying;
    Bench::Samples copySynced;
    for (int run = 0; run < kRuns; ++run) {
        QString error;
        measureOnce(saving, [&] { error = failureText(save(path)); });
        if (!error.isEmpty()) {
            std::printf("%s: %s\n", qPrintable(what), qPrintable(error));
            return;
        }
        QFile::remove(copyPath);
        measureOnce(copying, [&] { QFile::copy(path, copyPath); });
        // The save syncs its file to disk before the rename; the copy does not.
        QFile::remove(copyPath);
        QElapsedTimer synced;
        synced.start();
        QFile::copy(path, copyPath);
        QFile copy(copyPath);
        if (copy.open(QIODevice::ReadWrite))
            ::fdatasync(copy.handle());
        copySynced.add(synced.nsecsElapsed() / 1e6);
    }
    const double outputMb = QFileInfo(path).size() / 1e6;
    std::printf("%-40s %5.1f MB in, %5.1f MB out: %s, peak +%s | plain copy %s, peak +%s\n",
                qPrintable(what), inputMb, outputMb, qPrintable(saving.ms.text(1, "ms")),
                qPrintable(saving.extraMb.text(1, "MB")), qPrintable(copying.ms.text(1, "ms")),
                qPrintable(copying.extraMb.text(1, "MB")));
    const double ratio = saving.ms.median() / copying.ms.median();
    const double memory = saving.extraMb.max() / inputMb;
    Bench::printRow(
        {what,
         QStringLiteral("%1; peak +%2 MB")
             .arg(saving.ms.text(0, QStringLiteral("ms")))
             .arg(saving.extraMb.max(), 0, 'f', 1),
         QStringLiteral("copy of the %1 MB written: %2; with fdatasync as the save: %3 ms")
             .arg(outputMb, 0, 'f', 1)
             .arg(copying.ms.text(1, QStringLiteral("ms")))
             .arg(copySynced.median(), 0, 'f', 1),
         QStringLiteral("%1x copy; memory %2x input").arg(ratio, 0, 'f', 1).arg(memory, 0, 'f', 1),
         QStringLiteral("<= 1 s, <= 10x copy, memory <= 4x input"),
         saving.ms.median() <= 1000 && ratio <= 10 && memory <= 4});
}

void exportRow(const QString &what, LogBoardExport::Format format, const QString &text,
               const QTemporaryDir &dir)
{
    saveRow(what, text.size() / 1e6, dir, [&](const QString &path) {
        return LogBoardExport::save(path, format, text, kCodePage);
    });
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
    using Format = LogBoardExport::Format;
    // An Intel HEX file's first two bytes carry the count: 1,750,000 bytes are refused.
    refusalRow(QStringLiteral("export of a 1,000,000-line Log Board to hex"), [&] {
        return LogBoardExport::save(dir.filePath(QStringLiteral("refused.hex")), Format::IntelHex,
                                    board, kCodePage);
    });
    // The largest image the count allows: 9,362 records of 7 bytes.
    exportRow(QStringLiteral("export of the largest hex image (37,448 lines, 65,534 bytes)"),
              Format::IntelHex, logBoard(65535 / 7), dir);
    exportRow(QStringLiteral("export of a 1,000,000-line Log Board to asm"), Format::Assembler,
              board, dir);
    exportRow(QStringLiteral("export of a 1,000,000-line Log Board to c"), Format::C, board, dir);

    QString monitor;
    for (int i = 0; i < 100000; ++i)
        monitor += QStringLiteral("[T]1F 28 67 50 04 00 00 \r\n");
    saveRow(QStringLiteral("binary save of a 100,000-line monitor"), monitor.size() / 1e6, dir,
            [&](const QString &path) { return BinarySave::save(path, monitor, kCodePage); });
    return 0;
}
