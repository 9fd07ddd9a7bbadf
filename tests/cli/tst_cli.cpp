// zepta-cli as a user runs it: the built program, its output and exit status.

#include "pseudoterminal.h"

#include <QProcess>
#include <QTest>

#include <sys/file.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

QProcessEnvironment cliEnvironment()
{
    // The code page follows the locale; pin it so "Ä" is one known byte.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

void start(QProcess &process, const QStringList &arguments)
{
    process.setProgram(QStringLiteral(ZEPTA_CLI_PATH));
    process.setArguments(arguments);
    process.setProcessEnvironment(cliEnvironment());
    process.start();
}

Run finish(QProcess &process)
{
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Runs with stdin already at its end, as from a script without input.
Run cli(const QStringList &arguments)
{
    QProcess process;
    start(process, arguments);
    process.closeWriteChannel();
    return finish(process);
}

// Waits until the program has asked for Enter; false if it never does.
bool waitForKeyPrompt(QProcess &process)
{
    QByteArray err;
    for (int i = 0; i < 500 && !err.contains("Hit Enter Key!"); ++i) {
        process.waitForReadyRead(20);
        err += process.readAllStandardError();
    }
    return err.contains("Hit Enter Key!");
}

// "\x00\x01...\xff": every byte value in escape notation.
QString everyByteAsEscapes()
{
    QString text;
    for (int v = 0; v < 256; ++v)
        text += QStringLiteral("\\x%1").arg(v, 2, 16, QLatin1Char('0'));
    return text;
}

} // namespace

class CliTest : public QObject
{
    Q_OBJECT

private slots:
    void convertPrintsTheMonitorLines_data();
    void convertPrintsTheMonitorLines();
    void badCommandLinesAreUsageErrors_data();
    void badCommandLinesAreUsageErrors();
    void helpIsThereForEveryCommand_data();
    void helpIsThereForEveryCommand();
    void sendDeliversEveryByte();
    void sendHoldsTheRestUntilEnter();
    void sendWithoutInputGoesOnAtKeyWait();
    void sendToAPortThatCannotBeOpenedFails_data();
    void sendToAPortThatCannotBeOpenedFails();
    void sendFailsWhenTheFarEndGoes();
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
    QTest::newRow("text goes through the code page")
        << QStringList{"convert", QStringLiteral("\u00c4B")} << "[T]C4 42 \n[c4][42]\n";
    QTest::newRow("amp notation") << QStringList{"convert", "--amp", "&h41&H4a&x41"}
                                  << "[T]41 4A 26 78 34 31 \n[41][4a][26][78][34][31]\n";
    QTest::newRow("amp notation sends escapes literally")
        << QStringList{"convert", "--amp", "\\x41"} << "[T]5C 78 34 31 \n[5c][78][34][31]\n";
    QTest::newRow("text after --") << QStringList{"convert", "--", "-A"} << "[T]2D 41 \n[2d][41]\n";
    QTest::newRow("empty text prints nothing") << QStringList{"convert", ""} << "";
    QTest::newRow("a text that converts to nothing prints nothing")
        << QStringList{"convert", "\\x4g"} << "";
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

void CliTest::badCommandLinesAreUsageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"bogus"};
    QTest::newRow("unknown option") << QStringList{"convert", "--nope", "x"};
    QTest::newRow("convert without text") << QStringList{"convert"};
    QTest::newRow("convert with two texts") << QStringList{"convert", "a", "b"};
    QTest::newRow("ports with an argument") << QStringList{"ports", "x"};
    QTest::newRow("send without port") << QStringList{"send", "x"};
    QTest::newRow("send with a baud rate not offered")
        << QStringList{"send", "--port", "/dev/null", "--baud", "1200", "x"};
}

void CliTest::badCommandLinesAreUsageErrors()
{
    QFETCH(QStringList, arguments);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    QVERIFY(run.err.startsWith(QLatin1String("zepta-cli: ")));
}

void CliTest::helpIsThereForEveryCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("tool") << QStringList{"--help"} << "convert";
    QTest::newRow("convert") << QStringList{"convert", "--help"} << "--amp";
    QTest::newRow("ports") << QStringList{"ports", "--help"} << "description";
    QTest::newRow("send") << QStringList{"send", "--help"} << "--baud";
    QTest::newRow("help before the command") << QStringList{"--help", "send"} << "--cts";
}

void CliTest::helpIsThereForEveryCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, mentions);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QLatin1String("Usage:")));
    QVERIFY(run.out.contains(mentions));
    QVERIFY(run.out.contains(QLatin1String("Exit status")));
}

void CliTest::sendDeliversEveryByte()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    QByteArray expected;
    QString line = QStringLiteral("[T]");
    for (int v = 0; v < 256; ++v) {
        expected.append(char(v));
        line += QStringLiteral("%1 ").arg(v, 2, 16, QLatin1Char('0')).toUpper();
    }

    const Run run =
        cli({"send", "--port", pty.slavePath(), "--baud", "115200", everyByteAsEscapes()});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, line + QLatin1Char('\n'));
    QCOMPARE(pty.readMaster(expected.size()), expected);
}

void CliTest::sendHoldsTheRestUntilEnter()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    QProcess process;
    start(process, {"send", "--port", pty.slavePath(), "\\x41\\k\\x42"});

    QVERIFY(waitForKeyPrompt(process));
    QCOMPARE(pty.readMaster(2, 300), QByteArray("A"));
    process.write("\n");
    QVERIFY(process.waitForBytesWritten(5000));
    QCOMPARE(pty.readMaster(1), QByteArray("B"));

    const Run run = finish(process);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("[T]41 FF 42 \n"));
}

void CliTest::sendWithoutInputGoesOnAtKeyWait()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    const Run run = cli({"send", "--port", pty.slavePath(), "\\x41\\k\\x42"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QStringLiteral("Hit Enter Key!\n"));
    QCOMPARE(pty.readMaster(2), QByteArray("AB"));
}

void CliTest::sendToAPortThatCannotBeOpenedFails_data()
{
    QTest::addColumn<bool>("held"); // false: the device does not exist
    QTest::newRow("missing device") << false;
    QTest::newRow("held by another program") << true;
}

void CliTest::sendToAPortThatCannotBeOpenedFails()
{
    QFETCH(bool, held);
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    const QString port = held ? pty.slavePath() : QStringLiteral("/dev/zepta-no-such-port");
    int holder = -1;
    if (held) {
        holder = ::open(port.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(holder >= 0);
        QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
    }

    const Run run = cli({"send", "--port", port, "\\x41"});
    if (holder >= 0)
        ::close(holder);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(QLatin1String("COM port cannot be opened: ") + port),
             qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(pty.readMaster(1, 100), QByteArray());
}

void CliTest::sendFailsWhenTheFarEndGoes()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    QProcess process;
    start(process, {"send", "--port", pty.slavePath(), "\\x41\\k\\x42"});
    QVERIFY(waitForKeyPrompt(process));
    QCOMPARE(pty.readMaster(1), QByteArray("A"));

    // The module is unplugged while the user reads the prompt.
    pty.closeMaster();
    pty.closeSlave();
    process.write("\n");
    QVERIFY(process.waitForBytesWritten(5000));
    const Run run = finish(process);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QLatin1String("COM port error: ") + pty.slavePath()),
             qPrintable(run.err));
    QCOMPARE(run.err.count(QLatin1String("COM port error")), 1);
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
