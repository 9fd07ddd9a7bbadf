#include "core/base/codepage.h"
#include "core/session/configfile.h"
#include "core/session/sessionconfig.h"
#include "core/session/windowstate.h"
#include "support/testfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const CodePage kCodePage(CodePage::Kind::Windows1252);

// What the program writes when it closes after starting from these bytes.
QByteArray saved(const QByteArray &bytes)
{
    const StartupPlan p = SessionConfig::plan(ConfigFile::parse(bytes, kCodePage));
    return ConfigFile::encode(
        {p.portName, p.baudRate, p.flowControl, p.goOnline, p.displayModel.value_or(1)}, kCodePage);
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void startupFromFile_data();
    void startupFromFile();
    void encodeOddSettings();
#ifdef Q_OS_UNIX
    void onlyARegularFileIsRead();
#endif
    void windowPlacesThatCannotBeSavedAreTold();
};

void TestConfigFile::startupFromFile_data()
{
    // Port text, its ComSel index (-1: shown as saved), baud, flow, online,
    // model (-1: the default model stays).
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("warning"); // the one warning; "=": none, and the program writes
                                          // these very bytes for that plan
    const auto row = [](const char *name, const QByteArray &bytes, const QString &plan,
                        const char *warning = "") {
        QTest::newRow(name) << bytes << plan << QString::fromLatin1(warning);
    };
    const QByteArray longPath("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZ3M1-if00-port0");
    const QByteArray good("zCOM3\r\n3212");
    const char *damaged = "damaged, only the port name was used";
    row("COM3 115200 CTS online 6x24", good, "COM3|-1|115200|2|1|2", "=");
    row("long device path kept whole", "z" + longPath + "\r\n0000",
        QString::fromLatin1(longPath + "|-1|9600|0|0|0"), "=");
    row("name in the code page", "zCOM\xe9\x81\x8d\x8f\x90\x9d\x7e\r\n1003",
        "COM\u00e9\u0081\u008d\u008f\u0090\u009d~|-1|19200|0|0|3", "=");
    row("empty, as a first start leaves it", "", "COM1|0|38400|0|0|-1");
    row("old five bytes", "41200", "COM5|4|19200|2|0|0");
    row("old digit 8 is COM9", "83010", "COM9|8|115200|0|1|0");
    row("old digit 9", "91200", "COM1|0|19200|2|0|0");
    row("old layout short", "4120", "COM1|0|38400|0|0|-1", "not understood, the defaults are used");
    row("code below 0 keeps the name", "zCOM3\r\n3/12", "COM3|-1|38400|0|0|-1", damaged);
    row("name without line end", "zCOM7", "COM7|-1|38400|0|0|-1", damaged);
    row("baud code 7", "zCOM1\r\n7000", "COM1|-1|38400|0|0|0");
    row("model codes 1 and 5", "zCOM1\r\n3215", "COM1|-1|115200|2|1|-1");
    row("name ended by NUL, blank bytes skipped", QByteArray("zCOM4\0\r\n\0\n1202", 14),
        "COM4|-1|19200|2|0|2");
    row("empty name", "z\r\n3212", "|-1|115200|2|1|2");
    row("control characters in the name", "zCO\x1b[2JM3\x07\r\n3212", "CO|-1|115200|2|1|2",
        "the port name was cut at a control character");
    row("1 MB behind good settings", good + QByteArray(1024 * 1024, 'x'), "COM3|-1|115200|2|1|2",
        "far too large, only its start was read");
    row("1 MB of zero bytes", QByteArray(1024 * 1024, '\0'), "COM1|0|38400|0|0|-1",
        "far too large, only its start was read; not understood, the defaults are used");
    row("binary", QByteArray::fromHex("7f454c4602010100"), "COM1|0|38400|0|0|-1",
        "not understood, the defaults are used");
}

void TestConfigFile::startupFromFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, plan);
    QFETCH(QString, warning);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(ConfigFile::kFileName));
    QVERIFY(writeFile(path, bytes));
    if (warning.size() > 1)
        QTest::ignoreMessage(QtWarningMsg, qPrintable("Settings in " + path + ": " + warning));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));

    const StartupPlan p = SessionConfig::plan(ConfigFile::load(path, kCodePage));
    QCOMPARE(p.portName + QStringLiteral("|%1|%2|%3|%4|%5")
                              .arg(p.portIndex)
                              .arg(p.baudRate)
                              .arg(int(p.flowControl))
                              .arg(int(p.goOnline))
                              .arg(p.displayModel.value_or(-1)),
             plan);
    if (warning == u"=")
        QCOMPARE(saved(bytes), bytes);
}

void TestConfigFile::encodeOddSettings()
{
    // An unknown rate is saved as 38400; a line end inside a name would end it
    // on reading and turn the rest into codes, so the name ends there.
    QCOMPARE(ConfigFile::encode({QStringLiteral("COM2\nxyz"), 14400, FlowControl::None, false, 1},
                                kCodePage),
             QByteArray("zCOM2\r\n2001"));
}

#ifdef Q_OS_UNIX
// Opening a FIFO for reading waits for a writer: the start-up would hang.
void TestConfigFile::onlyARegularFileIsRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(ConfigFile::kFileName));
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0 && QFile::link(pipe, path));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a regular file"));
    const ConfigRecord record = ConfigFile::load(path, kCodePage);
    QVERIFY(!record.valid && !record.portName);
}
#endif

// Window places and the docked choice go to a file of their own; a failed
// write is told.
void TestConfigFile::windowPlacesThatCannotBeSavedAreTold()
{
    QTemporaryDir home;
    QVERIFY(writeFile(home.filePath(QStringLiteral("blocked")), ""));
    WindowState blocked(home.filePath(QStringLiteral("blocked/windows.conf")));
    const Result<void> saved = blocked.setDisplayDocked(true);
    QVERIFY(!saved.ok() && saved.error().text.contains(QStringLiteral("windows.conf")));
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
