// zepta-cli as a user runs it: the built program, its output and exit status.

#include "support/pseudoterminal.h"

#include <QProcess>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run finish(QProcess &process)
{
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Runs with stdin already at its end, as from a script without input.
Run cli(const QStringList &arguments)
{
    QProcess process;
    process.start(ZEPTA_CLI_PATH, arguments);
    process.closeWriteChannel();
    return finish(process);
}

} // namespace

class CliTest : public QObject
{
    Q_OBJECT

private slots:
    // The code page follows the locale, which the program inherits; pin it so
    // "Ä" is one known byte.
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void convertPrintsTheMonitorLines_data();
    void convertPrintsTheMonitorLines();
    void commandLineIsAnswered_data();
    void commandLineIsAnswered();
    void sendDeliversEveryByte();
    void keyWaitHoldsTheRest_data();
    void keyWaitHoldsTheRest();
};

void CliTest::convertPrintsTheMonitorLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out");

    QTest::newRow("brightness command")
        << QStringList{"convert", "\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"}
        << "[T]1F 28 67 50 04 00 00 \n[1f][28][67][50][04][00][00]\n";
    QTest::newRow("markers show as their low byte")
        << QStringList{"convert", "ab\\e\\kc\\w"}
        << "[T]61 62 FE FF 63 FD \n[61][62][fe][ff][63][fd]\n";
    QTest::newRow("code page") << QStringList{"convert", "\u00c4B"} << "[T]C4 42 \n[c4][42]\n";
    QTest::newRow("amp notation, escapes literal") << QStringList{"convert", "--amp", "&h4a\\x41"}
                                                   << "[T]4A 5C 78 34 31 \n[4a][5c][78][34][31]\n";
    QTest::newRow("text after --") << QStringList{"convert", "--", "-A"} << "[T]2D 41 \n[2d][41]\n";
    QTest::newRow("empty text prints nothing") << QStringList{"convert", ""} << "";
}

void CliTest::convertPrintsTheMonitorLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, QString());
}

void CliTest::commandLineIsAnswered_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text"); // help: a word it tells; failure: how stderr starts

    QTest::newRow("help") << QStringList{"--help"} << 0 << "convert";
    QTest::newRow("convert help") << QStringList{"convert", "--help"} << 0 << "--amp";
    QTest::newRow("ports help") << QStringList{"ports", "--help"} << 0 << "description";
    QTest::newRow("help before send") << QStringList{"--help", "send"} << 0 << "--cts";
    const QString usage = QStringLiteral("zepta-cli: ");
    QTest::newRow("no command") << QStringList{} << 2 << usage;
    QTest::newRow("unknown command") << QStringList{"bogus"} << 2 << usage;
    QTest::newRow("unknown option") << QStringList{"convert", "--nope", "x"} << 2 << usage;
    QTest::newRow("convert with two texts") << QStringList{"convert", "a", "b"} << 2 << usage;
    QTest::newRow("ports with an argument") << QStringList{"ports", "x"} << 2 << usage;
    QTest::newRow("send without port") << QStringList{"send", "x"} << 2 << usage;
    QTest::newRow("baud not offered")
        << QStringList{"send", "--port", "/dev/null", "--baud", "1200", "x"} << 2 << usage;
    QTest::newRow("missing port") << QStringList{"send", "--port", "/dev/zepta-none", "x"} << 1
                                  << "COM port cannot be opened: /dev/zepta-none: ";
}

void CliTest::commandLineIsAnswered()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode != 0) {
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(text), qPrintable(run.err));
        return;
    }
    for (const QString &part : {QStringLiteral("Usage:"), text, QStringLiteral("Exit status")})
        QVERIFY2(run.out.contains(part), qPrintable(part));
}

void CliTest::sendDeliversEveryByte()
{
    PseudoTerminal pty;
    QByteArray bytes;
    QString text;
    for (int v = 0; v < 256; ++v) {
        bytes.append(char(v));
        text += QStringLiteral("\\x%1").arg(v, 2, 16, QLatin1Char('0'));
    }
    const Run run = cli({"send", "--port", pty.slavePath(), "--baud", "115200", text});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString::fromLatin1("[T]" + bytes.toHex(' ').toUpper() + " \n"));
    QCOMPARE(pty.readMaster(bytes.size()), bytes);
}

void CliTest::keyWaitHoldsTheRest_data()
{
    QTest::addColumn<QString>("then"); // what happens while the prompt is shown
    QTest::newRow("Enter sends the rest") << "enter";
    QTest::newRow("input at its end goes on") << "eof";
    QTest::newRow("far end gone fails once") << "unplug";
}

void CliTest::keyWaitHoldsTheRest()
{
    QFETCH(QString, then);
    const bool unplug = then == "unplug";
    PseudoTerminal pty;
    QProcess process;
    process.start(ZEPTA_CLI_PATH, {"send", "--port", pty.slavePath(), "\\x41\\k\\x42"});
    QByteArray prompt;
    QTRY_VERIFY_WITH_TIMEOUT((prompt += process.readAllStandardError()).endsWith('\n'), 10000);
    QCOMPARE(prompt, QByteArray("Hit Enter Key!\n"));
    QCOMPARE(pty.readMaster(2, 300), QByteArray("A"));
    if (unplug) {
        pty.closeMaster();
        pty.closeSlave();
    }
    if (then == "eof")
        process.closeWriteChannel();
    else
        QVERIFY(process.write("\n") == 1 && process.waitForBytesWritten(5000));
    if (!unplug)
        QCOMPARE(pty.readMaster(1), QByteArray("B"));

    const Run run = finish(process);
    QCOMPARE(run.exitCode, unplug ? 1 : 0);
    QCOMPARE(run.out, QStringLiteral("[T]41 FF 42 \n"));
    QVERIFY2(unplug ? run.err.startsWith("COM port error: " + pty.slavePath()) &&
                          run.err.count("COM port error") == 1
                    : run.err.isEmpty(),
             qPrintable(run.err));
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
