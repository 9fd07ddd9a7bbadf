// zepta-cli as a user runs it, with no window system and no port: render's
// picture against the glyph patterns of the text the board wrote, and what
// every command refuses.

#include "clirun.h"
#include "core/base/displaymodel.h"
#include "core/module/glyphs.h"
#include "gui/glass/glasspaint.h"
#include "support/testfiles.h"

#include <QDir>
#include <QImage>
#include <QPoint>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Line 6 leaves "Hi" on the top row; line 9 writes "Zepta" from the third
// cell of the second row.
const QByteArray kGreeting = "*** Initialize ***\r\n"
                             "*** -OpCode- ***\r\n"
                             "PRT 1bh 40h;\r\n"
                             "\r\n"
                             "*** Hi ***\r\n"
                             "PRT 48h 69h;\r\n"
                             "*** Cursor set x=2 y=1 ***\r\n"
                             "PRT 1fh 24h 02h 00h 01h 00h;\r\n"
                             "PRT 5ah 65h 70h 74h 61h;\r\n";

// How a cell's dots stand in the picture: a row of five bits per dot row,
// as the glyph tables hold them.
CellDots dotsInPicture(const QImage &image, int row, int column)
{
    using namespace GlassPaint;
    CellDots dots{};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 5; ++x) {
            // The middle of the dot: its edges may take the glow of a neighbour.
            const QPoint middle(kMargin + column * kPitchX + x * (kDot + kDotGap) + kDot / 2,
                                kMargin + row * kPitchY + y * (kDot + kDotGap) + kDot / 2);
            if (qGreen(image.pixel(middle)) > 128)
                dots[size_t(y)] |= quint8(1 << (4 - x));
        }
    }
    return dots;
}

} // namespace

class CliRenderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void picturesShowTheGlyphsAtTheirCells_data();
    void picturesShowTheGlyphsAtTheirCells();
    void refusalsWriteNothing_data();
    void refusalsWriteNothing();
};

void CliRenderTest::initTestCase()
{
    // A program that wanted a window system would stop here for want of a display.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
}

void CliRenderTest::picturesShowTheGlyphsAtTheirCells_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("text"); // what the rows say
    QTest::addColumn<QPoint>("cursor");    // the underline cursor's cell

    QTest::newRow("6x24") << 2 << QStringList{"--model", "2"} << QStringList{"Hi", "  Zepta"}
                          << QPoint(7, 1);
    QTest::newRow("the default, after line 6")
        << DisplayModel::kDefaultModel << QStringList{"--at", "6"} << QStringList{"Hi"}
        << QPoint(2, 0);
}

void CliRenderTest::picturesShowTheGlyphsAtTheirCells()
{
    QFETCH(int, model);
    QFETCH(QStringList, options);
    QFETCH(QStringList, text);
    QFETCH(QPoint, cursor);
    QTemporaryDir dir;
    const QString board = dir.filePath("board.txt");
    QVERIFY(writeFile(board, kGreeting));
    const QString png = dir.filePath("glass.png");
    const Run run = cli(QStringList{"render"} + options + QStringList{board, png});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString());

    const QImage image(png);
    const DisplayModel::Model &size = DisplayModel::model(model);
    QCOMPARE(image.size(), GlassPaint::size(size.rows, size.columns));
    for (int r = 0; r < size.rows; ++r) {
        for (int c = 0; c < size.columns; ++c) {
            const QChar ch = text.value(r).leftJustified(size.columns).at(c);
            CellDots expected = ch == u' ' ? CellDots{} : Glyphs::dots(ch.unicode(), true);
            if (cursor == QPoint(c, r))
                expected[7] = 0x1F;
            QVERIFY2(dotsInPicture(image, r, c) == expected,
                     qPrintable(QStringLiteral("row %1, column %2").arg(r).arg(c)));
        }
    }

    // The same board gives the same file, byte for byte.
    const QString again = dir.filePath("again.png");
    QCOMPARE(cli(QStringList{"render"} + options + QStringList{board, again}).exitCode, 0);
    QCOMPARE(fileBytes(again), fileBytes(png));
}

// Every refusal of the command line and of the board: told on stderr, and
// nothing written beside the files the test made.
void CliRenderTest::refusalsWriteNothing_data()
{
    QTest::addColumn<QStringList>("arguments"); // %1: the board, %2: the folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // how stderr starts

    const QString usage = QStringLiteral("zepta-cli: ");
    const QString formats = QStringLiteral("txt, sei, hex, asm or c");
    const QString wide = QStringLiteral("zepta-cli: Line 2 holds \"100h;\", which is more than "
                                        "one byte (00h to FFh). Nothing was ");
    const QString png = QStringLiteral("%2/glass.png");
    const auto row = [](const char *name, const QStringList &arguments, int exitCode,
                        const QString &err) {
        QTest::newRow(name) << arguments << exitCode << err;
    };
    row("unknown command", {"bogus"}, 2, usage);
    row("unknown option", {"convert", "--nope", "x"}, 2, usage);
    row("baud not offered", {"send", "--port", "/dev/null", "--baud", "1200", "x"}, 2, usage);
    row("empty port name", {"send", "--port", "", "x"}, 2,
        "zepta-cli: send needs --port NAME (see 'zepta-cli ports').\n");
    row("export: unknown format", {"export", "--format", "zip", "%1", "%2/out"}, 2,
        "zepta-cli: --format must be " + formats + ", not 'zip'.\n");
    row("export: no format", {"export", "%1", "%2/out"}, 2,
        "zepta-cli: export needs --format FORMAT, one of " + formats + ".\n");
    row("export: one file only", {"export", "--format", "c", "%1"}, 2,
        "zepta-cli: export takes INPUT and OUTPUT");
    row("export: input missing", {"export", "--format", "c", "%2/none", "%2/out"}, 1,
        "zepta-cli: Could not load the file: ");
    row("export: output folder missing", {"export", "--format", "hex", "%1", "%2/none/out"}, 1,
        "zepta-cli: Error: Could not write to file: ");
    row("export: token above FFh", {"export", "--format", "c", "%2/wide.txt", "%2/out"}, 1,
        wide + "written.\n");
    row("render: no such model", {"render", "--model", "4", "%1", png}, 2,
        "zepta-cli: --model must be 0 to 3, not '4'.");
    row("render: line 0", {"render", "--at", "0", "%1", png}, 2,
        "zepta-cli: --at must be a line number from 1, not '0'.");
    // The players count the empty piece after the last line break as line 10.
    row("render: past the last line", {"render", "--at", "11", "%1", png}, 2,
        "zepta-cli: --at 11 is past the end of %1, whose last line is 10.");
    row("render: token above FFh past --at", {"render", "--at", "1", "%2/wide.txt", png}, 2,
        wide + "written.\n");
    row("render: folder missing", {"render", "%1", "%2/none/glass.png"}, 1,
        "zepta-cli: Error: Could not write to file: ");
}

void CliRenderTest::refusalsWriteNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString board = dir.filePath("board.txt");
    QVERIFY(writeFile(board, kGreeting));
    QVERIFY(writeFile(dir.filePath("wide.txt"), "PRT 1bh 40h;\r\nPRT 100h;\r\n"));
    err.replace("%1", board);
    for (QString &argument : arguments)
        argument = argument.replace("%1", board).replace("%2", dir.path());
    const Run run = cli(arguments);
    QTEST(run.exitCode, "exitCode");
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"board.txt", "wide.txt"}));
}

QTEST_GUILESS_MAIN(CliRenderTest)
#include "tst_clirender.moc"
