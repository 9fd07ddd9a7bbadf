// zepta-sim as a user runs it: a real pseudo-terminal, opened through the
// program's own port layer, the lines it prints and the rows it dumps.

#include "core/serial/serialline.h"
#include "core/session/devicefactory.h"
#include "support/pseudoterminal.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

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

// A program's end of a terminal, written without blocking.
struct ProgramEnd
{
    int fd = -1;
    explicit ProgramEnd(const QString &path)
        : fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~ProgramEnd() { ::close(fd); }
    // Writes what the terminal takes now; the count taken.
    qsizetype write(QByteArrayView bytes) const
    {
        const ssize_t n = ::write(fd, bytes.data(), size_t(bytes.size()));
        return n > 0 ? n : 0;
    }
};

// The most a terminal holds for a reader that does not read: the kernel's
// 64 KB of buffers and the line discipline's 4 KB.
constexpr qsizetype kTerminalHolds = 68 * 1024;

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 % 251);
    return bytes;
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
    void tapPassesBytesBothWaysAndPrintsThem();
    void tapHoldsTheProgramWhileTheModuleStalls();
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
    QTest::newRow("cts without a tap") << QStringList{"--cts"} << 2;
    QTest::newRow("tap on no port") << QStringList{"--tap", "/dev/zepta-no-such-port"} << 1;
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
        for (const char *part : {"Usage:", "--model", "--dump", "--tap PORT", "Exit status"})
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
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess sim;
    sim.setProcessEnvironment(environment);
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
    // Its place is kept where Zepta keeps its windows' places.
    QSettings places(config.filePath(QStringLiteral("zepta/windows.conf")), QSettings::IniFormat);
    QVERIFY(!places.value(QStringLiteral("SimulatedDisplay/geometry")).toByteArray().isEmpty());
}

void ZeptaSimTest::tapPassesBytesBothWaysAndPrintsThem()
{
    PseudoTerminal module; // the test plays the real module on its master
    QProcess tap;
    tap.start(ZEPTA_SIM_PATH, {"--tap", module.slavePath(), "--baud", "115200", "--dump"});
    QVERIFY(tap.waitForStarted());
    const QString path = firstLine(tap);
    QVERIFY2(path.startsWith(QStringLiteral("/dev/")), qPrintable(path));

    const QByteArray sent = QByteArray("\x1b\x40Hello") + hex("1f286583494e 1f28654030");
    const QByteArray reply = QByteArray("\x28\x65\x40SIM-24B 4x24");
    {
        SerialLine program(systemSerialDeviceFactory());
        QVERIFY(program.open(PortAddress::device(path), kSettings));
        QCOMPARE(program.write(sent).value(), int(sent.size()));
        QCOMPARE(module.readMaster(sent.size()), sent);
        QVERIFY(module.writeMaster(reply));
        QCOMPARE(readReply(program, int(reply.size()) + 1), reply);
        program.close();
    }

    ::kill(pid_t(tap.processId()), SIGTERM);
    QVERIFY(tap.waitForFinished(10000));
    QCOMPARE(tap.exitCode(), 0);
    const QStringList lines = QString::fromLocal8Bit(tap.readAllStandardOutput()).split('\n');
    QCOMPARE(lines.mid(0, 5),
             QStringList(
                 {"Initialize  1B 40", "Text \"Hello\"  48 65 6C 6C 6F",
                  "Serial OUT mode start  1F 28 65 83 49 4E", "Read product type  1F 28 65 40 30",
                  "<< Reply \"(e@SIM-24B 4x24\"  28 65 40 53 49 4D 2D 32 34 42 20 34 78 32 34"}));
    QCOMPARE(lines.value(5), QStringLiteral("Hello").leftJustified(24)); // the dump
    // The port was given back: it opens again at once.
    SerialLine again(systemSerialDeviceFactory());
    QVERIFY(again.open(PortAddress::device(module.slavePath()), kSettings));
}

void ZeptaSimTest::tapHoldsTheProgramWhileTheModuleStalls()
{
    PseudoTerminal module;
    QProcess tap;
    tap.start(ZEPTA_SIM_PATH, {"--tap", module.slavePath()});
    QVERIFY(tap.waitForStarted());
    ProgramEnd program(firstLine(tap));
    QVERIFY(program.fd >= 0);

    // The module reads nothing: the program's writes stop taking bytes once
    // the terminals on both sides and the tap's own 1024 bytes are full.
    const QByteArray bytes = pattern(512 * 1024);
    qsizetype written = 0;
    for (int quiet = 0; quiet < 20; ++quiet) {
        const qsizetype n = program.write(QByteArrayView(bytes).sliced(written));
        written += n;
        quiet = n > 0 ? 0 : quiet;
        QTest::qWait(10);
    }
    QVERIFY2(written > 0 && written <= 2 * kTerminalHolds + 1024,
             qPrintable(QString::number(written)));

    // Reading again, the module gets every byte once, in order.
    QByteArray received;
    char buffer[4096];
    for (int idle = 0; received.size() < bytes.size() && idle < 500;) {
        written += program.write(QByteArrayView(bytes).sliced(written));
        const ssize_t n = ::read(module.masterFd(), buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, n);
        idle = n > 0 ? 0 : idle + 1;
        if (n <= 0)
            QTest::qWait(2);
    }
    QCOMPARE(received.size(), bytes.size());
    QVERIFY(received == bytes);

    // The module's end goes away: the tap says so and fails.
    module.closeMaster();
    QVERIFY(tap.waitForFinished(10000));
    QCOMPARE(tap.exitCode(), 1);
    QVERIFY(tap.readAllStandardError().startsWith("zepta-sim: the module's end went away: "));
}

QTEST_GUILESS_MAIN(ZeptaSimTest)
#include "tst_zeptasim.moc"
