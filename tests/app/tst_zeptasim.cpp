// zepta-sim as a user runs it: a real pseudo-terminal, opened through the
// program's own port layer, the lines it prints and the rows it dumps.

#include "core/serial/serialline.h"
#include "core/session/devicefactory.h"
#include "support/pseudoterminal.h"

#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace {

constexpr LineSettings kSettings{115200, FlowControl::None};

// The first line zepta-sim prints: its terminal.
QString firstLine(QProcess &process)
{
    for (int i = 0; i < 100 && !process.canReadLine(); ++i)
        process.waitForReadyRead(100);
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

// Reads what the port gives within a moment, empty after a failure.
QByteArray readSome(SerialLine &port)
{
    QTest::qWait(10);
    const Result<QByteArray> read = port.read(64);
    return read ? *read : QByteArray();
}

} // namespace

class ZeptaSimTest : public QObject
{
    Q_OBJECT

private slots:
    void moduleAtTheFarEndOfATerminal();
    void tapPassesBytesBothWays();
};

void ZeptaSimTest::moduleAtTheFarEndOfATerminal()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("vfd"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    QProcess sim;
    sim.setProcessEnvironment(environment);
    sim.start(ZEPTA_SIM_PATH,
              {"--show", "--model", "0", "--baud", "115200", "--dump", "--link", link});
    QVERIFY(sim.waitForStarted());
    const QString path = firstLine(sim);
    QVERIFY2(path.startsWith(QStringLiteral("/dev/")), qPrintable(path));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);
    {
        SerialLine port(systemSerialDeviceFactory());
        QVERIFY(port.open(PortAddress::device(link), kSettings));
        const QByteArray text = QByteArray("\x1b\x40Hello\r\nW") +
                                QByteArray::fromHex("1b99 1b2501 1b2601414105 0100000000") + "A";
        QCOMPARE(port.write(text).value(), int(text.size()));
        const QByteArray request = QByteArray::fromHex("1f286583494e 1f28654030");
        QVERIFY(port.discardInput());
        QCOMPARE(port.write(request).value(), int(request.size()));
        QByteArray reply;
        QTRY_COMPARE(reply += readSome(port), QByteArray("\x28\x65\x40SIM-20A 2x20"));
        QCOMPARE(port.write(QByteArray::fromHex("1f286584 4f5554")).value(), 7);
        QTest::qWait(200);
    }

    ::kill(pid_t(sim.processId()), SIGINT);
    QVERIFY(sim.waitForFinished(10000));
    QVERIFY(sim.exitStatus() == QProcess::NormalExit && sim.exitCode() == 0);
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
    // The display's place is kept where Zepta keeps its windows' places.
    QSettings places(dir.filePath(QStringLiteral("zepta/windows.conf")), QSettings::IniFormat);
    QVERIFY(!places.value(QStringLiteral("SimulatedDisplay/geometry")).toByteArray().isEmpty());
}

// The tap passes bytes both ways and prints them; while the module reads
// nothing it holds the program back, and loses nothing.
void ZeptaSimTest::tapPassesBytesBothWays()
{
    PseudoTerminal module; // the test plays the real module on its master
    QProcess tap;
    tap.start(ZEPTA_SIM_PATH, {"--tap", module.slavePath(), "--baud", "115200"});
    QVERIFY(tap.waitForStarted());
    const QString path = firstLine(tap);
    const QByteArray sent =
        QByteArray("\x1b\x40Hello") + QByteArray::fromHex("1f286583494e 1f28654030");
    const QByteArray reply = QByteArray("\x28\x65\x40SIM-24B 4x24");
    {
        SerialLine program(systemSerialDeviceFactory());
        QVERIFY(program.open(PortAddress::device(path), kSettings));
        QCOMPARE(program.write(sent).value(), int(sent.size()));
        QCOMPARE(module.readMaster(sent.size()), sent);
        QVERIFY(module.writeMaster(reply));
        QByteArray got;
        QTRY_COMPARE(got += readSome(program), reply);
    }
    // The lines of each way, in the order each way went.
    const QString replyLine(
        "<< Reply \"(e@SIM-24B 4x24\"  28 65 40 53 49 4D 2D 32 34 42 20 34 78 32 34");
    QString printed;
    QTRY_VERIFY((printed += QString::fromLocal8Bit(tap.readAll())).count(u'\n') >= 5);
    QCOMPARE(printed.remove(replyLine + u'\n'),
             "Initialize  1B 40\nText \"Hello\"  48 65 6C 6C 6F\n"
             "Serial OUT mode start  1F 28 65 83 49 4E\nRead product type  1F 28 65 40 30\n");

    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    const auto closeProgram = qScopeGuard([fd] { ::close(fd); });
    QByteArray bytes(512 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 % 251);
    qsizetype written = 0;
    const auto writeMore = [&] { // true when the terminal took some
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        written += qMax(n, ssize_t(0));
        return n > 0;
    };
    // The module reads nothing: the program's writes stop taking bytes once
    // the terminals on both sides (each 64 KB of kernel buffers and 4 KB of
    // line discipline) and the tap's own 1024 bytes are full.
    for (int quiet = 0; quiet < 20; ++quiet) {
        quiet = writeMore() ? 0 : quiet;
        QTest::qWait(10);
    }
    QVERIFY2(written > 0 && written <= 2 * 68 * 1024 + 1024, qPrintable(QString::number(written)));
    // Reading again, the module gets every byte once, in order.
    QByteArray received;
    for (int idle = 0; received.size() < bytes.size() && idle < 500;) {
        writeMore();
        const QByteArray got = module.readMaster(4096, 2);
        received += got;
        idle = got.isEmpty() ? idle + 1 : 0;
        if (got.isEmpty())
            QTest::qWait(2); // takes in what the tap prints, which would fill its pipe
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
