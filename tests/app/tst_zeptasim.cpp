// zepta-sim as a user runs it: a real pseudo-terminal, opened through the
// program's own port layer, the lines it prints and the rows it dumps.

#include "core/serial/serialline.h"
#include "core/session/devicefactory.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr LineSettings kSettings{115200, FlowControl::None};

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The first line zepta-sim prints: its terminal.
QString firstLine(QProcess &process)
{
    for (int i = 0; i < 100 && !process.canReadLine(); ++i)
        process.waitForReadyRead(100);
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

QByteArray readReply(SerialLine &port, int size)
{
    QByteArray reply;
    for (int tries = 0; tries < 50 && reply.size() < size; ++tries) {
        const Result<QByteArray> read = port.read(size - reply.size());
        if (!read)
            break;
        reply += *read;
        QTest::qWait(10);
    }
    return reply;
}

} // namespace

class ZeptaSimTest : public QObject
{
    Q_OBJECT

private slots:
    void commandLineIsAnswered_data();
    void commandLineIsAnswered();
    void moduleAtTheFarEndOfATerminal();
    void showOpensTheWindowAndEndsOnSignal();
};

void ZeptaSimTest::commandLineIsAnswered_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("help") << QStringList{"--help"} << 0;
    QTest::newRow("model out of range") << QStringList{"--model", "4"} << 2;
    QTest::newRow("baud not a number") << QStringList{"--baud", "fast"} << 2;
    QTest::newRow("link without a path") << QStringList{"--link"} << 2;
    QTest::newRow("unknown argument") << QStringList{"--nope"} << 2;
}

void ZeptaSimTest::commandLineIsAnswered()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QProcess process;
    process.start(ZEPTA_SIM_PATH, arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), exitCode);
    if (exitCode == 0) {
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        for (const char *part : {"Usage:", "--model", "--dump", "Exit status"})
            QVERIFY2(out.contains(QLatin1String(part)), part);
    } else {
        QVERIFY(process.readAllStandardError().startsWith("zepta-sim: "));
    }
}

void ZeptaSimTest::moduleAtTheFarEndOfATerminal()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("vfd"));
    QProcess sim;
    sim.start(ZEPTA_SIM_PATH, {"--model", "0", "--baud", "115200", "--dump", "--link", link});
    QVERIFY(sim.waitForStarted());
    const QString path = firstLine(sim);
    QVERIFY2(path.startsWith(QStringLiteral("/dev/")), qPrintable(path));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);

    {
        SerialLine port(systemSerialDeviceFactory());
        QVERIFY(port.open(PortAddress::device(link), kSettings));
        const QByteArray text = QByteArray("\x1b\x40Hello\r\nW") + hex("1b99") +
                                hex("1b2501 1b2601414105 0100000000") + "A";
        QCOMPARE(port.write(text).value(), int(text.size()));
        const QByteArray request = hex("1f286583494e 1f28654030");
        QVERIFY(port.discardInput());
        QCOMPARE(port.write(request).value(), int(request.size()));
        QCOMPARE(readReply(port, 15), QByteArray("\x28\x65\x40SIM-20A 2x20"));
        const QByteArray end = hex("1f286584 4f5554");
        QCOMPARE(port.write(end).value(), int(end.size()));
        QTest::qWait(200);
        port.close();
    }

    ::kill(pid_t(sim.processId()), SIGTERM);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    const QStringList lines = QString::fromLocal8Bit(sim.readAllStandardOutput()).split('\n');
    // How each command reads is the module's own test; here that they are listed.
    for (const char *line :
         {"Initialize  1B 40", "!! Not understood  1B", "Read product type  1F 28 65 40 30"})
        QVERIFY2(lines.contains(QLatin1String(line)), line);
    // The dump: one line per row of the 2 x 20 glass, the user font as "?".
    QCOMPARE(
        lines.mid(lines.size() - 3),
        QStringList({"Hello               ", QStringLiteral("W\u00D6?") + QString(17, ' '), ""}));
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

void ZeptaSimTest::showOpensTheWindowAndEndsOnSignal()
{
    QProcess sim;
    sim.start(ZEPTA_SIM_PATH, {"--show", "--model", "2", "--dump"});
    QVERIFY(sim.waitForStarted());
    QVERIFY(firstLine(sim).startsWith(QStringLiteral("/dev/")));
    ::kill(pid_t(sim.processId()), SIGINT);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    // Six empty rows of 24 blanks.
    const QString out = QString::fromLocal8Bit(sim.readAllStandardOutput());
    QCOMPARE(out, QString(QString(24, ' ') + '\n').repeated(6));
}

QTEST_GUILESS_MAIN(ZeptaSimTest)
#include "tst_zeptasim.moc"
