#include "core/logboard/binarysave.h"
#include "core/transport/codepage.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const CodePage kCodePage(CodePage::Kind::Windows1252);

QByteArray converted(const QString &monitor, const CodePage &codePage = kCodePage)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!BinarySave::write(buffer, monitor, codePage).isEmpty())
        return "failed";
    return buffer.data();
}

} // namespace

class TestBinarySave : public QObject
{
    Q_OBJECT
private slots:
    void conversion_data();
    void conversion();
    void throughTheCodePage();
    void largeMonitorWhole();
    void savedFiles();
};

void TestBinarySave::conversion_data()
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

void TestBinarySave::conversion()
{
    QFETCH(QString, monitor);
    QFETCH(QByteArray, bytes);
    QCOMPARE(converted(monitor), bytes);
}

void TestBinarySave::throughTheCodePage()
{
    // Shift JIS writes katakana A as 83 41: its second byte is the digit "A",
    // just as the saved monitor text would hold it.
    const CodePage shiftJis(CodePage::Kind::ShiftJis);
    if (shiftJis.kind() != CodePage::Kind::ShiftJis)
        QSKIP("no Shift JIS converter here");
    QCOMPARE(converted(QStringLiteral("\u30a21"), shiftJis), QByteArray("\xa1"));
    QCOMPARE(converted(QStringLiteral("\u20ac1B"), kCodePage), QByteArray("\x1b"));
}

void TestBinarySave::largeMonitorWhole()
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

void TestBinarySave::savedFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.dat"));
    QVERIFY(writeFile(path, QByteArray(100, 'x')));
    // A longer existing file holds only the new bytes afterwards.
    QCOMPARE(BinarySave::save(path, QStringLiteral("[T]1B 40 \r\n"), kCodePage), QString());
    QCOMPARE(fileBytes(path), QByteArray("\x1b\x40"));
    // An empty monitor gives an empty file.
    QCOMPARE(BinarySave::save(path, QString(), kCodePage), QString());
    QCOMPARE(QFileInfo(path).size(), 0);

    const Prompt::FileRequest request = BinarySave::fileRequest();
    QCOMPARE(request.title, QStringLiteral("Save to file"));
    QCOMPARE(request.filters, (QStringList{"Data files (*.dat)", "All Files (*.*)"}));
    QCOMPARE(request.selectedFilter, 0);
    QVERIFY(request.confirmOverwrite);
    QVERIFY(request.defaultSuffix.isEmpty());
}

QTEST_GUILESS_MAIN(TestBinarySave)
#include "tst_binarysave.moc"
