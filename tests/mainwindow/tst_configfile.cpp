#include "mainwindow/configfile.h"
#include "mainwindow/sessionconfig.h"
#include "pipeline.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString kLongPath =
    QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZ3M1-if00-port0");

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void startupFromFile_data();
    void startupFromFile();
    void encode_data();
    void encode();
    void roundTripKeepsEverySetting_data();
    void roundTripKeepsEverySetting();
    void writeReportsAFailingDevice();
    void missingFileIsCreatedEmpty();
    void saveReplacesTheFile();
    void failedSaveLeavesTheOldFileWhole();
    void saveIntoAMissingFolderFails();
    void exitClosesThePortAndRecordsOnline();
    void startPutsRateAndFlowIntoTheState();
};

void TestConfigFile::startupFromFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<int>("flow");
    QTest::addColumn<bool>("online");
    QTest::addColumn<int>("model"); // -1: the default model stays

    const QString com1 = QStringLiteral("COM1");
    QTest::newRow("empty file") << QByteArray() << com1 << 0 << "38400" << 0 << false << -1;
    QTest::newRow("COM3 115200 CTS online 6x24")
        << QByteArray("zCOM3\r\n3212") << "COM3" << -1 << "115200" << 2 << true << 2;
    QTest::newRow("typed COM20") << QByteArray("zCOM20\r\n0000") << "COM20" << -1 << "9600" << 0
                                 << false << 0;
    QTest::newRow("old five bytes")
        << QByteArray("41200") << "COM5" << 4 << "19200" << 2 << false << 0;
    QTest::newRow("old digit 0 is COM1")
        << QByteArray("00003") << com1 << 0 << "9600" << 0 << false << 3;
    QTest::newRow("old digit 8 is COM9")
        << QByteArray("83010") << "COM9" << 8 << "115200" << 0 << true << 0;
    QTest::newRow("old digit 9") << QByteArray("91200") << com1 << 0 << "19200" << 2 << false << 0;
    QTest::newRow("old letter") << QByteArray("a1200") << com1 << 0 << "19200" << 2 << false << 0;
    QTest::newRow("old layout short")
        << QByteArray("4120") << com1 << 0 << "38400" << 0 << false << -1;
    QTest::newRow("code below 0 keeps the name")
        << QByteArray("zCOM3\r\n3/12") << "COM3" << -1 << "38400" << 0 << false << -1;
    QTest::newRow("ends before the model code")
        << QByteArray("zCOM3\r\n321") << "COM3" << -1 << "38400" << 0 << false << -1;
    QTest::newRow("name without line end")
        << QByteArray("zCOM7") << "COM7" << -1 << "38400" << 0 << false << -1;
    QTest::newRow("baud code 2") << QByteArray("zCOM1\r\n2000") << "COM1" << -1 << "38400" << 0
                                 << false << 0;
    QTest::newRow("baud code 7") << QByteArray("zCOM1\r\n7000") << "COM1" << -1 << "38400" << 0
                                 << false << 0;
    QTest::newRow("model code 1") << QByteArray("zCOM1\r\n3211") << "COM1" << -1 << "115200" << 2
                                  << true << -1;
    QTest::newRow("model code 5") << QByteArray("zCOM1\r\n3215") << "COM1" << -1 << "115200" << 2
                                  << true << -1;
    QTest::newRow("flow code 1 is none")
        << QByteArray("zCOM1\r\n0100") << "COM1" << -1 << "9600" << 0 << false << 0;
    QTest::newRow("name ended by NUL, blank bytes skipped")
        << QByteArray("zCOM4\0\r\n\0\n1202", 14) << "COM4" << -1 << "19200" << 2 << false << 2;
    QTest::newRow("name ended by LF")
        << QByteArray("zCOM4\n1202") << "COM4" << -1 << "19200" << 2 << false << 2;
    QTest::newRow("empty name") << QByteArray("z\r\n3212") << "" << -1 << "115200" << 2 << true
                                << 2;
    QTest::newRow("long device path kept whole") << ("z" + kLongPath.toLatin1() + "\r\n3212")
                                                 << kLongPath << -1 << "115200" << 2 << true << 2;
    QTest::newRow("name in the code page")
        << QByteArray("zCOM\xe9\r\n1000") << "COM\u00e9" << -1 << "19200" << 0 << false << 0;
    QTest::newRow("garbage: zero bytes")
        << QByteArray(16, '\0') << com1 << 0 << "38400" << 0 << false << -1;
    QTest::newRow("garbage: high bytes")
        << QByteArray("\xc8\xc9\xca\xcb\xcc\xcd") << com1 << 0 << "38400" << 0 << false << -1;
    QTest::newRow("garbage: only line ends after z")
        << QByteArray("z\r\n\r\n\0", 6) << "" << -1 << "38400" << 0 << false << -1;
}

void TestConfigFile::startupFromFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, port);
    QFETCH(int, portIndex);
    QFETCH(QString, baud);
    QFETCH(int, flow);
    QFETCH(bool, online);
    QFETCH(int, model);

    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const StartupPlan plan =
        SessionConfig::plan(ConfigFile::read(buffer, CodePage(CodePage::Kind::Windows1252)));
    QCOMPARE(plan.portText, port);
    QCOMPARE(plan.portIndex, portIndex);
    QCOMPARE(plan.baudRate, baud);
    QCOMPARE(plan.flowControl, flow);
    QCOMPARE(plan.goOnline, online);
    QCOMPARE(plan.displayModel.value_or(-1), model);
}

void TestConfigFile::encode_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<int>("flow");
    QTest::addColumn<bool>("online");
    QTest::addColumn<int>("model");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("COM3 115200 CTS online 6x24")
        << "COM3"
        << "115200" << 2 << true << 2 << QByteArray("zCOM3\r\n3212");
    QTest::newRow("defaults") << "COM1"
                              << "38400" << 0 << false << 1 << QByteArray("zCOM1\r\n2001");
    QTest::newRow("9600") << "COM2"
                          << "9600" << 0 << false << 0 << QByteArray("zCOM2\r\n0000");
    QTest::newRow("19200 model 3") << "COM2"
                                   << "19200" << 0 << false << 3 << QByteArray("zCOM2\r\n1003");
    QTest::newRow("unknown rate is 38400") << "COM2"
                                           << "" << 0 << false << 0 << QByteArray("zCOM2\r\n2000");
    QTest::newRow("line end in a name ends it")
        << "COM2\nxyz"
        << "9600" << 0 << false << 0 << QByteArray("zCOM2\r\n0000");
}

void TestConfigFile::encode()
{
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(int, flow);
    QFETCH(bool, online);
    QFETCH(int, model);
    QFETCH(QByteArray, bytes);

    const ConfigSettings settings{port, baud, flow, online, model};
    QCOMPARE(ConfigFile::encode(settings, CodePage(CodePage::Kind::Windows1252)), bytes);
}

void TestConfigFile::roundTripKeepsEverySetting_data()
{
    QTest::addColumn<QString>("port");
    QTest::newRow("COM3") << "COM3";
    QTest::newRow("typed COM20") << "COM20";
    QTest::newRow("sixteen characters") << "/dev/ttyUSB12345";
    QTest::newRow("by-id path") << kLongPath;
}

void TestConfigFile::roundTripKeepsEverySetting()
{
    QFETCH(QString, port);
    const CodePage codePage(CodePage::Kind::Windows1252);
    const ConfigSettings settings{port, QStringLiteral("19200"), 2, true, 3};
    const StartupPlan plan =
        SessionConfig::plan(ConfigFile::parse(ConfigFile::encode(settings, codePage), codePage));
    QCOMPARE(plan.portText, port);
    QCOMPARE(plan.baudRate, QStringLiteral("19200"));
    QCOMPARE(plan.flowControl, 2);
    QVERIFY(plan.goOnline);
    QCOMPARE(plan.displayModel.value_or(-1), 3);
}

void TestConfigFile::writeReportsAFailingDevice()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const ConfigSettings settings{QStringLiteral("COM1"), QStringLiteral("9600"), 0, false, 1};
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    QVERIFY(!ConfigFile::write(buffer, settings, CodePage(CodePage::Kind::Windows1252)));
}

void TestConfigFile::missingFileIsCreatedEmpty()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(ConfigFile::kFileName));
    const ConfigRecord record = ConfigFile::load(path, CodePage(CodePage::Kind::Windows1252));
    QVERIFY(!record.valid);
    QVERIFY(QFile::exists(path));
    QCOMPARE(fileBytes(path), QByteArray());
}

void TestConfigFile::saveReplacesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(ConfigFile::kFileName));
    QVERIFY(putFile(path, "zCOM9999999999999999999\r\n0000"));
    const ConfigSettings settings{QStringLiteral("COM3"), QStringLiteral("115200"), 2, true, 2};
    QString error;
    QVERIFY(ConfigFile::save(path, settings, CodePage(CodePage::Kind::Windows1252), &error));
    QCOMPARE(fileBytes(path), QByteArray("zCOM3\r\n3212"));
}

void TestConfigFile::failedSaveLeavesTheOldFileWhole()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(ConfigFile::kFileName));
    const QByteArray old("zCOM3\r\n3212");
    QVERIFY(putFile(path, old));

    // A file-size limit makes every write beyond 4 bytes fail as a full disk does.
    rlimit saved;
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 4;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &tight) == 0);
    const ConfigSettings settings{kLongPath, QStringLiteral("9600"), 0, false, 0};
    QString error;
    const bool saved_ok =
        ConfigFile::save(path, settings, CodePage(CodePage::Kind::Windows1252), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!saved_ok);
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QString::fromLatin1(ConfigFile::kFileName)});
#else
    QSKIP("needs a file-size limit to imitate a full disk");
#endif
}

void TestConfigFile::saveIntoAMissingFolderFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone/") + ConfigFile::kFileName);
    const ConfigSettings settings{QStringLiteral("COM1"), QStringLiteral("9600"), 0, false, 0};
    QString error;
    QVERIFY(!ConfigFile::save(path, settings, CodePage(CodePage::Kind::Windows1252), &error));
    QVERIFY(!error.isEmpty());
}

void TestConfigFile::exitClosesThePortAndRecordsOnline()
{
    QTemporaryDir dir;
    Pipeline p;
    QVERIFY(p.connection.goOnline(QStringLiteral("COM3"), QStringLiteral("115200"), true));
    p.state.setBaudRate(QStringLiteral("115200"));
    p.state.setFlowControl(2);
    p.state.setDisplayModel(2);
    const SessionConfig config(dir.path(), p.codePage);
    QVERIFY(config.writeAtExit(QStringLiteral("COM3"), p.state, p.connection));
    QVERIFY(!p.connection.comport_online());
    QVERIFY(!p.line->isOpen);
    QCOMPARE(fileBytes(config.path()), QByteArray("zCOM3\r\n3212"));
}

void TestConfigFile::startPutsRateAndFlowIntoTheState()
{
    QTemporaryDir dir;
    Pipeline p;
    const SessionConfig config(dir.path(), p.codePage);
    QVERIFY(putFile(config.path(), "zttyUSB0\r\n1210"));
    const StartupPlan plan = config.readAtStart(p.state);
    QCOMPARE(plan.portText, QStringLiteral("ttyUSB0"));
    QCOMPARE(p.state.baudRate(), QStringLiteral("19200"));
    QCOMPARE(p.state.flowControl(), 2);
    QVERIFY(plan.goOnline); // only planned: reading the file opens nothing
    QCOMPARE(p.line->opens, 0);
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
