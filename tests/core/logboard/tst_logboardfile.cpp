#include "core/logboard/logboardfile.h"
#include "core/transport/codepage.h"
#include "support/testfiles.h"

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

} // namespace

class TestLogBoardFile : public QObject
{
    Q_OBJECT
private slots:
    void lineEnds_data();
    void lineEnds();
    void saveLoadRoundTrip();
    void refusals_data();
    void refusals();
    void dialogs();
};

void TestLogBoardFile::lineEnds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("CR LF, last line without") << QByteArray("A\r\nB") << "A\r\nB\r\n";
    QTest::newRow("CR alone ends a line") << QByteArray("A\rB\r") << "A\r\nB\r\n";
    QTest::newRow("LF stays inside the line") << QByteArray("A\nB\n") << "A\nB\n\r\n";
    QTest::newRow("empty lines kept") << QByteArray("A\r\n\r\n\r\r\n") << "A\r\n\r\n\r\n\r\n";
    QTest::newRow("one line break") << QByteArray("\r\n") << "\r\n";
    QTest::newRow("code page") << QByteArray("*** Caf\xe9 \x80 ***")
                               << "*** Caf\u00e9 \u20ac ***\r\n";
}

void TestLogBoardFile::lineEnds()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QCOMPARE(LogBoardFile::textFromFile(file, kCodePage), text);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    QVERIFY(writeFile(path, file));
    const LogBoardFile::Loaded loaded = LogBoardFile::load(path, kCodePage);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error));
    QCOMPARE(loaded.text, text);
}

void TestLogBoardFile::saveLoadRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    QVERIFY(writeFile(path, "A\r\nB"));
    const QString text = LogBoardFile::load(path, kCodePage).text;
    QCOMPARE(text, QStringLiteral("A\r\nB\r\n"));
    // The native format adds one CR LF, so each load brings one more empty line.
    QCOMPARE(LogBoardFile::save(path, text, kCodePage), QString());
    QCOMPARE(fileBytes(path), QByteArray("A\r\nB\r\n\r\n"));
    QCOMPARE(LogBoardFile::load(path, kCodePage).text, QStringLiteral("A\r\nB\r\n\r\n"));

    const QString record = QStringLiteral("*** Caf\u00e9 ***\r\n*** h ***\r\nPRT 1bh;\r\n\r\n");
    QCOMPARE(LogBoardFile::save(path, record, kCodePage), QString());
    QCOMPARE(fileBytes(path), QByteArray("*** Caf\xe9 ***\r\n*** h ***\r\nPRT 1bh;\r\n\r\n\r\n"));
    QCOMPARE(LogBoardFile::load(path, kCodePage).text, record + QStringLiteral("\r\n"));
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
    const LogBoardFile::Loaded loaded = LogBoardFile::load(path, kCodePage);
    QVERIFY(!loaded.ok());
    QVERIFY(loaded.text.isEmpty());
    QVERIFY2(loaded.error.startsWith(QStringLiteral("Could not load the file: ") + path),
             qPrintable(loaded.error));
    QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
}

void TestLogBoardFile::dialogs()
{
    const Prompt::FileRequest load = LogBoardFile::loadRequest();
    QCOMPARE(load.title, QStringLiteral("Load from file"));
    QCOMPARE(load.filters,
             (QStringList{"Text Files (*.txt)", "K500seiData(*.sei)", "All Files (*.*)"}));
    QCOMPARE(load.selectedFilter, 0);
    QVERIFY(!load.confirmOverwrite);
}

QTEST_GUILESS_MAIN(TestLogBoardFile)
#include "tst_logboardfile.moc"
