// zepta-cli render as a user runs it, with no window system: the picture's
// dots against the glyph patterns of the text the board wrote.

#include "core/base/displaymodel.h"
#include "core/module/glyphs.h"
#include "gui/glass/glasspaint.h"
#include "support/testfiles.h"

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Line 2 leaves "Hi" on the top row; line 4 writes "Zepta" from the third
// cell of the second row.
const QByteArray kGreeting = "PRT 1bh 40h;\r\nPRT 48h 69h;\r\nPRT 1fh 24h 02h 00h 01h 00h;\r\n"
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
    QTest::newRow("the default, after line 2")
        << DisplayModel::kDefaultModel << QStringList{"--at", "2"} << QStringList{"Hi"}
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
    QProcess render;
    render.start(ZEPTA_CLI_PATH, QStringList{"render"} + options + QStringList{board, png});
    QVERIFY(render.waitForFinished(30000));
    QCOMPARE(render.readAllStandardError() + render.readAllStandardOutput(), QByteArray());
    QCOMPARE(render.exitCode(), 0);

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
}

QTEST_GUILESS_MAIN(CliRenderTest)
#include "tst_clirender.moc"
