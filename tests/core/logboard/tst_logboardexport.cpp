#include "core/base/codepage.h"
#include "core/logboard/exportformats.h"
#include "core/logboard/logboardfile.h"
#include "core/logboard/sourceexport.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using LogBoardExport::Format;

namespace {

const CodePage kCodePage(CodePage::Kind::Windows1252);

const QString kInitialize =
    QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h;\r\n\r\n");

const QByteArray kCHeader = "/**\r\n"
                            "*** Zepta VFD module tool: Log Board export\r\n"
                            "***\r\n"
                            "*** Generated data: free to use, copy and change without "
                            "restriction.\r\n"
                            "*** Documentation: man zepta-cli\r\n"
                            "**/\r\n"
                            "\r\n";

QByteArray exported(Format format, const QString &text, const QString &path = QString())
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!LogBoardExport::write(buffer, format, text, path, kCodePage))
        return "refused";
    return buffer.data();
}

QString dataLines(qsizetype byteCount, int perLine)
{
    QString text;
    for (qsizetype i = 0; i < byteCount; i += perLine) {
        text += QStringLiteral("*** cmd ***\r\n*** help ***\r\nPRT");
        for (qsizetype j = i; j < qMin(byteCount, i + perLine); ++j)
            text += QStringLiteral(" %1h").arg((j * 7) & 0xFF, 2, 16, QLatin1Char('0'));
        text += QStringLiteral(";\r\n\r\n");
    }
    return text;
}

} // namespace

class TestLogBoardExport : public QObject
{
    Q_OBJECT
private slots:
    void contents_data();
    void contents();
    void everyByteOfALoadedFileComesBack();
    void imageAcross64KiB();
    void refusalsKeepThePreviousFile_data();
    void refusalsKeepThePreviousFile();
    void fileNames();
    void commentsHoldAnyText();
};

void TestLogBoardExport::contents_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *name, Format format, const QString &text,
                        const QByteArray &expected) {
        QTest::newRow(name) << int(format) << text << expected;
    };
    row("intel hex", Format::IntelHex, kInitialize, ":0404000000021B409B\r\n:00000001FF\r\n\r\n");
    row("assembler", Format::Assembler, kInitialize,
        "\r\n;*** Initialize ***\r\n;*** -OPcode- ***\r\n .db $1b, $40\r\n\r\n");
    row("c", Format::C, kInitialize,
        kCHeader + "const long  _demo_leng =  2;\r\n\r\n\r\n"
                   "const unsigned char  _demo_code[2] =\r\n{\r\n"
                   "\r\n/*** Initialize *****/\r\n"
                   "\r\n/*** -OPcode- *****/\r\n\r\n"
                   "      0x1b,  0x40,\r\n"
                   "       };\r\n\r\n");

    const QString noData = QStringLiteral("*** only a title ***\r\n\r\n");
    row("hex, no data line", Format::IntelHex, noData, ":020400000000FA\r\n:00000001FF\r\n\r\n");
    // Odd tokens are read as far as they hold hex digits.
    row("hex, odd tokens", Format::IntelHex, "PRT 1 40h zz Fe",
        ":060400000004010000FEF3\r\n:00000001FF\r\n\r\n");

    // Leading blanks make no data line; a data line after an empty line, or
    // as the last line without CR LF, still counts.
    const QString mixed = QStringLiteral("  PRT 1bh;\r\n*** a ***\r\n\r\nPRT 0ch;\r\nPRT 41h");
    row("hex, which lines count", Format::IntelHex, mixed,
        ":0404000000020C41A9\r\n:00000001FF\r\n\r\n");
    // One comment line followed by data: the data starts a line of its own
    // instead of disappearing into the comment.
    row("assembler, data after one comment", Format::Assembler, mixed,
        "\r\n;*** a ***\r\n .db $0c\r\n .db $41\r\n\r\n");
    // "PRT;" holds no byte and writes no empty ".db" or lone "," line.
    const QString empty = QStringLiteral("PRT;\r\nPRT 1bh;\r\n");
    row("assembler, PRT; writes nothing", Format::Assembler, empty, " .db $1b\r\n\r\n");
}

void TestLogBoardExport::contents()
{
    QFETCH(int, format);
    QFETCH(QString, text);
    QTEST(exported(Format(format), text, QStringLiteral("demo.c")), "expected");
}

// Every byte but the line ends in a title line, loaded and written again:
// the text types give the file back, the sources carry it in their comments.
void TestLogBoardExport::everyByteOfALoadedFileComesBack()
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes += char(b);
    }
    const QByteArray file = "*** " + bytes + " ***\r\nPRT 1bh;\r\n";
    const QList<std::pair<int, QByteArray>> written = {
        // -1: Save
        {-1, file + "\r\n"},
        {int(Format::Text), file + "\r\n"},
        {int(Format::PlayerData), file + "\r\n"},
        {int(Format::Assembler), ";*** " + bytes + " ***\r\n"},
        {int(Format::C), "/*** " + bytes + " *****/\r\n"}};
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.txt"));
    const QString out = dir.filePath(QStringLiteral("out.c"));
    QVERIFY(writeFile(in, file));
    QStringList changed; // code page and format
    for (const CodePage::Kind kind : {CodePage::Kind::Windows1252, CodePage::Kind::ShiftJis}) {
        const CodePage codePage{kind};
        if (codePage.kind() != kind)
            continue; // no Shift JIS converter here
        const Result<QString> loaded = LogBoardFile::load(in, codePage);
        QVERIFY(loaded);
        for (const auto &[format, expected] : written) {
            const Result<void> saved =
                format < 0 ? LogBoardFile::save(out, *loaded, codePage)
                           : LogBoardExport::save(out, Format(format), *loaded, codePage);
            const QByteArray got = fileBytes(out);
            if (!saved ||
                !(format < int(Format::Assembler) ? got == expected : got.contains(expected)))
                changed << codePage.name() + u' ' + QString::number(format);
        }
    }
    QCOMPARE(changed.join(u", "), QString());
}

void TestLogBoardExport::imageAcross64KiB()
{
    const QByteArray hex = exported(Format::IntelHex, dataLines(65000, 100));
    // The record ending at FFFFh, the one extended address record, the next
    // and the last: the addresses go on past 64 KiB instead of wrapping.
    QVERIFY(hex.contains(":10FFF000828990979EA5ACB3BAC1C8CFD6DDE4EB99\r\n:020000040001F9\r\n"
                         ":10000000F2F900070E151C232A31383F464D545B88\r\n"));
    QCOMPARE(hex.count(":02000004"), 1);
    QVERIFY(hex.endsWith(":0A01E000121920272E353C434A5126\r\n:00000001FF\r\n\r\n"));
}

void TestLogBoardExport::refusalsKeepThePreviousFile_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // empty: written
    // The byte types refuse what play refuses; text and player data are the
    // text as it stands.
    const QString wide = kInitialize + QStringLiteral("PRT 1bh 100h;\r\n");
    for (const LogBoardExport::FormatInfo &f : LogBoardExport::formats()) {
        const bool bytes = f.format != Format::Text && f.format != Format::PlayerData;
        QTest::newRow(qPrintable(LogBoardExport::formatName(f.format)))
            << int(f.format) << wide
            << (bytes ? QStringLiteral("Line 5 holds \"100h;\", which is more than one byte (00h "
                                       "to FFh). Nothing was written.")
                      : QString());
    }
    // The image's first two bytes carry its count.
    QTest::newRow("hex, 70,000 bytes")
        << int(Format::IntelHex) << dataLines(70000, 128)
        << "The Log Board holds 70,000 bytes of commands, but an Intel HEX file holds at most "
           "65,535: its first two bytes carry the count. Nothing was written.";
    QTest::newRow("hex, 65,535 bytes") << int(Format::IntelHex) << dataLines(65535, 128) << "";
}

void TestLogBoardExport::refusalsKeepThePreviousFile()
{
    QFETCH(int, format);
    QFETCH(QString, text);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out"));
    QVERIFY(writeFile(path, "previous"));
    QCOMPARE(errorText(LogBoardExport::save(path, Format(format), text, kCodePage)), error);
    QCOMPARE(fileBytes(path) == "previous", !error.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out"});
}

// The name a file is written under, and the array name the C export takes from it.
void TestLogBoardExport::fileNames()
{
    // Each as the path chosen and the type's name.
    const QStringList chosen{
        "log hex",          "log.txt c", "a.TXT txt", "/tmp/LOG.ASM asm", "C:\\logs\\my log.c c",
        "dir\\sub/x.y.c c", "1st c",     "c c",       "d\u00e9mo c"};
    QStringList names;
    for (const QString &row : chosen) {
        const qsizetype blank = row.lastIndexOf(u' ');
        const QString written = LogBoardExport::resolvePath(
            row.first(blank), *LogBoardExport::formatFromName(row.sliced(blank + 1)));
        names << written + u' ' + SourceExport::cName(written);
    }
    QCOMPARE(names, (QStringList{"log.hex log", "log.txt.c log_txt", "a.TXT a", "/tmp/LOG.ASM LOG",
                                 "C:\\logs\\my log.c my_log", "dir\\sub/x.y.c x_y", "1st.c 1st",
                                 "c.c c", "d\u00e9mo.c d_mo"}));
}

// Whatever a "***" line holds, it stays a comment: every printable character
// alone, and lines made to end a comment early or open another.
void TestLogBoardExport::commentsHoldAnyText()
{
    QString text = kInitialize;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        text += QStringLiteral("***") + QChar(c) + QStringLiteral("\r\n");
    for (const char *line : {"***/ x ***", "*** a */ b ***", "*** /* nested ***", "***/", "***/*",
                             "***//", "*** */*/*/ ***", "*** a\\\n*/ b ***", "*** ?\?/\n/ x ***",
                             "*** a\\\r*/ b ***", "*** x\n .db $ff ***"})
        text += QString::fromLatin1(line) + QStringLiteral("\r\nPRT 0ch;\r\n");
    text += QStringLiteral("*** a */ b ***\r\nPRT;\r\n") + kInitialize;

    // A line break ends an assembler comment: every line stays a comment or data.
    for (const QByteArray &line : exported(Format::Assembler, text).split('\n')) {
        QVERIFY2(line.isEmpty() || line == "\r" || line.startsWith(";***") ||
                     line.startsWith(" .db $"),
                 line.constData());
        QVERIFY2(line.indexOf('\r') >= line.size() - 1, line.constData());
    }

    const QString cc = QStandardPaths::findExecutable(QStringLiteral("cc"));
    if (cc.isEmpty())
        QSKIP("no C compiler here");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("1my-log.c"));
    QCOMPARE(errorText(LogBoardExport::save(path, Format::C, text, kCodePage)), QString());
    QProcess compiler;
    // Trigraphs on, so that "??/" is a backslash as strict C reads it.
    compiler.start(cc, {QStringLiteral("-fsyntax-only"), QStringLiteral("-Wall"),
                        QStringLiteral("-trigraphs"), path});
    QVERIFY(compiler.waitForFinished(60000));
    QCOMPARE(compiler.readAllStandardError(), QByteArray());
    QCOMPARE(compiler.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestLogBoardExport)
#include "tst_logboardexport.moc"
