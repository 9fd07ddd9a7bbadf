// The edit window's text files, and the output monitor saved as binary data.

#include "core/base/codepage.h"
#include "core/logboard/binarysave.h"
#include "core/logboard/logboardfile.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const CodePage kCodePage(CodePage::Kind::Windows1252);

QByteArray converted(const QString &monitor, const CodePage &codePage = kCodePage)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!BinarySave::write(buffer, monitor, codePage))
        return "failed";
    return buffer.data();
}

} // namespace

class TestLogBoardFile : public QObject
{
    Q_OBJECT
private slots:
    void lineEnds_data();
    void lineEnds();
    void refusals_data();
    void refusals();
    void binaryConversion_data();
    void binaryConversion();
    void binaryThroughTheCodePage();
    void binaryLargeMonitorWhole();
    void dialogs();
};

void TestLogBoardFile::lineEnds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("CR LF, last line without") << QByteArray("A\r\nB") << "A\r\nB\r\n";
    QTest::newRow("CR alone ends a line") << QByteArray("A\rB\r") << "A\r\nB\r\n";
    // Without any CR in the text, LF ends lines; beside CR it stays inside its line.
    QTest::newRow("LF only") << QByteArray("A\nB\n\nC") << "A\r\nB\r\n\r\nC\r\n";
    QTest::newRow("LF in a CR LF file") << QByteArray("A\nB\r\nC\n") << "A\nB\r\nC\n\r\n";
    QTest::newRow("LF in a CR file") << QByteArray("A\nB\rC") << "A\nB\r\nC\r\n";
    QTest::newRow("one LF") << QByteArray("\n") << "\r\n";
    QTest::newRow("empty lines kept") << QByteArray("A\r\n\r\n\r\r\n") << "A\r\n\r\n\r\n\r\n";
    QTest::newRow("one line break") << QByteArray("\r\n") << "\r\n";
    QTest::newRow("code page") << QByteArray("*** Caf\xe9 \x80 ***")
                               << "*** Caf\u00e9 \u20ac ***\r\n";
}

void TestLogBoardFile::lineEnds()
{
    QFETCH(QByteArray, file);
    QTEST(LogBoardFile::textFromFile(file, kCodePage), "text");
}

void TestLogBoardFile::refusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "does not exist";
    QTest::newRow("folder") << "folder"
                            << "is a folder";
    QTest::newRow("binary") << "binary"
                            << "binary data (a zero byte at position 4)";
    QTest::newRow("too large") << "large"
                               << "too large for a Log Board: 100.0 MB";
#ifdef Q_OS_UNIX
    QTest::newRow("pipe") << "pipe"
                          << "not an ordinary file";
    QTest::newRow("no permission") << "unreadable"
                                   << "ermission";
#endif
}

void TestLogBoardFile::refusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    if (kind == u"folder") {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("log.txt")));
    } else if (kind == u"binary") {
        QVERIFY(writeFile(path, QByteArray("PRT \0\x01\x02", 7)));
    } else if (kind == u"large") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(100 * 1024 * 1024)); // sparse
#ifdef Q_OS_UNIX
    } else if (kind == u"pipe") {
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == u"unreadable") {
        if (geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
        QVERIFY(writeFile(path, "PRT 1bh;\r\n"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
#endif
    }
    const Result<QString> loaded = LogBoardFile::load(path, kCodePage);
    QVERIFY(!loaded);
    const QString error = loaded.error().text;
    QVERIFY2(error.startsWith(QStringLiteral("Could not load the file: ") + path),
             qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestLogBoardFile::binaryConversion_data()
{
    QTest::addColumn<QString>("monitor");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty monitor") << "" << QByteArray();
    QTest::newRow("two commands") << "[T]1B 40 \r\n[T]1F 28 67 50 04 00 00 \r\n"
                                  << QByteArray::fromHex("1B401F286750040000");
    QTest::newRow("no separator") << "1B40" << QByteArray::fromHex("1B40");
    QTest::newRow("odd digit dropped at a blank and at the end")
        << "ABC D" << QByteArray::fromHex("AB");
    QTest::newRow("lower case is no digit") << "1b" << QByteArray();
    QTest::newRow("lower case breaks a pair") << "1b2C" << QByteArray::fromHex("2C");
    QTest::newRow("markers") << "[T]1B FF FE FD \n" << QByteArray::fromHex("1BFFFEFD");
    QTest::newRow("letters past F") << "[T]G1 AZ 0A" << QByteArray::fromHex("0A");
}

void TestLogBoardFile::binaryConversion()
{
    QFETCH(QString, monitor);
    QTEST(converted(monitor), "bytes");
}

void TestLogBoardFile::binaryThroughTheCodePage()
{
    // Shift JIS writes katakana A as 83 41: its second byte is the digit "A",
    // just as the saved monitor text would hold it.
    const CodePage shiftJis(CodePage::Kind::ShiftJis);
    if (shiftJis.kind() != CodePage::Kind::ShiftJis)
        QSKIP("no Shift JIS converter here");
    QCOMPARE(converted(QStringLiteral("\u30a21"), shiftJis), QByteArray("\xa1"));
    QCOMPARE(converted(QStringLiteral("\u20ac1B"), kCodePage), QByteArray("\x1b"));
}

void TestLogBoardFile::binaryLargeMonitorWhole()
{
    // Far beyond 32,768 characters, and pairs across the conversion's blocks.
    QString monitor;
    QByteArray expected;
    for (int i = 0; i < 100000; ++i) {
        monitor +=
            QStringLiteral("[T]1F 28 %1 \r\n").arg(i & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
        expected += QByteArray::fromHex("1F28") + char(i & 0xFF);
    }
    QCOMPARE(converted(monitor), expected);
    QCOMPARE(converted(QString(65535, u' ') + QStringLiteral("1B")), QByteArray("\x1b"));
}

void TestLogBoardFile::dialogs()
{
    const Prompt::FileRequest load = LogBoardFile::loadRequest();
    QCOMPARE(load.title, QStringLiteral("Load from file"));
    QCOMPARE(load.filters,
             (QStringList{"Text Files (*.txt)", "K500seiData(*.sei)", "All Files (*.*)"}));
    QCOMPARE(load.selectedFilter, 0);
    QVERIFY(!load.confirmOverwrite);

    const Prompt::FileRequest binary = BinarySave::fileRequest();
    QCOMPARE(binary.title, QStringLiteral("Save to file"));
    QCOMPARE(binary.filters, (QStringList{"Data files (*.dat)", "All Files (*.*)"}));
    QCOMPARE(binary.selectedFilter, 0);
    QVERIFY(binary.confirmOverwrite);
    QVERIFY(binary.defaultSuffix.isEmpty());
}

QTEST_GUILESS_MAIN(TestLogBoardFile)
#include "tst_logboardfile.moc"
