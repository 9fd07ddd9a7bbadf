// The three programs as users run them: what they answer before any window,
// where there is no display at all; zepta ended by SIGTERM whatever stands
// where its settings file should be (it ends, saving the settings or saying on
// stderr why it could not, and never hangs at start on a file it cannot
// read); zepta-sim on a real pseudo-terminal, opened through the program's own
// port layer, the lines it prints and the rows it dumps.

#include "core/files/atomicsave.h"
#include "core/serial/serialline.h"
#include "core/session/devicefactory.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSettings = QStringLiteral("Config_QV_demo.dat");
constexpr LineSettings kLine{115200, FlowControl::None};
// What zepta writes on closing from a start with no usable settings.
const QByteArray kDefaults("zCOM1\r\n2001");
// The older five-byte layout comes back in the new one: a save shows.
const QByteArray kOld("41200");
const QByteArray kSaved("zCOM5\r\n1200");

// Starts zepta with what a save killed between writing and renaming leaves
// beside settingsPath; true once the start removed it, which it does right
// before it reads the settings, after it listens for signals. In a folder not
// made yet, the settings file it makes shows that instead.
bool startZepta(QProcess &zepta, const QString &settingsPath, const QStringList &arguments = {})
{
    const QString leftover = temporaryPathFor(settingsPath);
    const bool inFolder = QFileInfo(settingsPath).dir().exists();
    if (inFolder && !writeFile(leftover, {}))
        return false;
    zepta.start(ZEPTA_PATH, arguments);
    const auto read = [&] {
        return inFolder ? !QFile::exists(leftover) : QFileInfo::exists(settingsPath);
    };
    QDeadlineTimer patience(10000);
    while (zepta.waitForStarted() && !read() && !patience.hasExpired())
        QThread::msleep(1);
    return read();
}

// Puts bytes at path, or what stands for them: "<folder>" or "<fifo>".
bool place(const QString &path, const QByteArray &bytes)
{
    if (bytes == "<folder>")
        return QDir().mkpath(path);
    if (bytes == "<fifo>")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    return bytes.isEmpty() || (QDir().mkpath(QFileInfo(path).path()) && writeFile(path, bytes));
}

// The first line zepta-sim prints: its terminal.
QString firstLine(QProcess &process)
{
    for (int i = 0; i < 100 && !process.canReadLine(); ++i)
        process.waitForReadyRead(100);
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

} // namespace

class ProgramsTest : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
    void settingsFileLivesWhereStarted_data();
    void settingsFileLivesWhereStarted();
    void secondSignalWaitsForTheOrderlyEnd();
    void killedWhileSavingLeavesAWholeFile();
    void moduleAtTheFarEndOfATerminal();
    void tapPassesBytesBothWays();
};

void ProgramsTest::answersWithoutADisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments"); // %1: a board, %2: the folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // how standard output starts
    QTest::addColumn<QString>("err"); // how standard error starts
    const auto row = [](const QString &name, const QStringList &arguments, int exitCode,
                        const QString &out, const QString &err) {
        QTest::newRow(qPrintable(name))
            << name.section(u' ', 0, 0) << arguments << exitCode << out << err;
    };
    // Named as users type them, not by the path the test started them from.
    for (const QString name : {"zepta", "zepta-cli", "zepta-sim"}) {
        row(name + " --help", {"--help"}, 0, "Usage: " + name + u' ', {});
        row(name + " --version", {"--version"}, 0, name + " " ZEPTA_VERSION "\n", {});
    }
    const QString noDisplay("no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                            "not set)\n");
    row("zepta", {}, 1, {}, "zepta: " + noDisplay);
    row("zepta-sim --show", {"--show"}, 1, {}, "zepta-sim: --show: " + noDisplay);
    row("zepta-sim --cts without --tap", {"--cts"}, 2, {}, "zepta-sim: --cts needs --tap");
    row("zepta-sim --tap on no port", {"--tap", "/dev/zepta-none"}, 1, {},
        "zepta-sim: COM port cannot be opened: /dev/zepta-none: No such file or directory\n");

    const QString wide = QStringLiteral("zepta-cli: Line 2 holds \"100h;\", which is more than "
                                        "one byte (00h to FFh). Nothing was written.\n");
    const QString notWritten = QStringLiteral("zepta-cli: Error: Could not write to file: ");
    const QString png = QStringLiteral("%2/glass.png");
    row("zepta-cli unknown option", {"convert", "--nope", "x"}, 2, {},
        "zepta-cli: Unknown option 'nope'.\n");
    row("zepta-cli empty port name", {"send", "--port", "", "x"}, 2, {},
        "zepta-cli: send needs --port NAME (see 'zepta-cli ports').\n");
    row("zepta-cli export: no format", {"export", "%1", "%2/out"}, 2, {},
        "zepta-cli: export needs --format FORMAT, one of txt, sei, hex, asm or c.\n");
    row("zepta-cli export: folder missing", {"export", "--format", "hex", "%1", "%2/no/out"}, 1, {},
        notWritten);
    row("zepta-cli export: token above FFh", {"export", "--format", "c", "%2/wide.txt", "%2/out"},
        1, {}, wide);
    // The players count the empty piece after the last line break as a line.
    row("zepta-cli render: past the last line", {"render", "--at", "3", "%1", png}, 2, {},
        "zepta-cli: --at 3 is past the end of %1, whose last line is 2.\n");
    row("zepta-cli render: token above FFh past --at", {"render", "--at", "1", "%2/wide.txt", png},
        2, {}, wide);
}

// What the programs answer before they work, with no display at all: help,
// version and every refusal, which writes nothing.
void ProgramsTest::answersWithoutADisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QTemporaryDir dir;
    const QString board = dir.filePath(QStringLiteral("board.txt"));
    QVERIFY(writeFile(board, "PRT 1bh 40h;\r\n"));
    QVERIFY(writeFile(dir.filePath("wide.txt"), "PRT 1bh 40h;\r\nPRT 100h;\r\n"));
    arguments.replaceInStrings("%1", board).replaceInStrings("%2", dir.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    const QHash<QString, QString> paths = {
        {"zepta", ZEPTA_PATH}, {"zepta-cli", ZEPTA_CLI_PATH}, {"zepta-sim", ZEPTA_SIM_PATH}};
    process.start(paths.value(program), arguments);
    QVERIFY(process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit);
    QTEST(process.exitCode(), "exitCode");
    const QString told = QString::fromLocal8Bit(process.readAllStandardOutput());
    QVERIFY2(told.startsWith(out) && (out.isEmpty() == told.isEmpty()), qPrintable(told));
    const QString errTold = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(errTold.startsWith(err.replace("%1", board)) && (err.isEmpty() == errTold.isEmpty()),
             qPrintable(errTold));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"board.txt", "wide.txt"}));
}

void ProgramsTest::settingsFileLivesWhereStarted_data()
{
    // Each settings file before the run and after it; empty: none there.
    QTest::addColumn<bool>("fromLauncher");
    QTest::addColumn<QByteArray>("startFolderBefore");
    QTest::addColumn<QByteArray>("configFolderBefore");
    QTest::addColumn<QByteArray>("startFolderAfter");
    QTest::addColumn<QByteArray>("configFolderAfter");
    QTest::addColumn<QString>("told"); // said once on stderr
    const QByteArray none;
    QTest::newRow("shell: the start folder's file, whatever the config folder holds")
        << false << kOld << kOld << kSaved << kOld << QString();
    QTest::newRow("launcher, first use: folder and file made")
        << true << kOld << none << kOld << kDefaults << QString();
    QTest::newRow("launcher: the config folder's file")
        << true << none << kOld << none << kSaved << QString();
    QTest::newRow("damaged file: said at start")
        << false << QByteArray::fromHex("7f454c46") + QByteArray(4000, '\x01') << none << kDefaults
        << none << "Settings in ";
    const QString notSaved("The settings could not be saved.\nError: Could not write to file: ");
    QTest::newRow("folder: said at the end")
        << false << QByteArray("<folder>") << none << none << none << notSaved;
    QTest::newRow("FIFO: no hang at start, said at the end")
        << false << QByteArray("<fifo>") << none << none << none << notSaved;
}

// Started from a shell the settings file is the one where the user works;
// the desktop launcher's option keeps it in the user's configuration folder.
// SIGTERM saves it there, or says why not, whatever stands there.
void ProgramsTest::settingsFileLivesWhereStarted()
{
    QFETCH(bool, fromLauncher);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString startFolder = dir.filePath(QStringLiteral("work"));
    const QString configHome = dir.filePath(QStringLiteral("config"));
    const QString inStartFolder = startFolder + u'/' + kSettings;
    const QString inConfigFolder = configHome + QStringLiteral("/zepta/") + kSettings;
    QVERIFY(QDir().mkpath(startFolder));
    QFETCH(QByteArray, startFolderBefore);
    QFETCH(QByteArray, configFolderBefore);
    QVERIFY(place(inStartFolder, startFolderBefore));
    QVERIFY(place(inConfigFolder, configFolderBefore));

    QProcess zepta;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    zepta.setProcessEnvironment(environment);
    zepta.setWorkingDirectory(startFolder);
    QVERIFY(startZepta(zepta, fromLauncher ? inConfigFolder : inStartFolder,
                       fromLauncher ? QStringList{"--settings-in-config-folder"} : QStringList{}));
    QTest::qWait(500); // the window stands (or the start hangs on the file)
    // Two signals a few milliseconds apart, as GNU timeout sends them (to the
    // child, then to its group), are one request.
    for (int gapMs : {5, 0}) {
        ::kill(pid_t(zepta.processId()), SIGTERM);
        QThread::msleep(gapMs);
    }
    QVERIFY2(zepta.waitForFinished(10000) && zepta.exitStatus() == QProcess::NormalExit &&
                 zepta.exitCode() == 0,
             "zepta did not end cleanly on SIGTERM");

    // A folder or a FIFO left there reads as none.
    QTEST(QFileInfo(inStartFolder).isFile() ? fileBytes(inStartFolder) : QByteArray(),
          "startFolderAfter");
    QTEST(QFileInfo(inConfigFolder).isFile() ? fileBytes(inConfigFolder) : QByteArray(),
          "configFolderAfter");
    const QString err = QString::fromLocal8Bit(zepta.readAllStandardError());
    QVERIFY2(told.isEmpty() || err.count(told) == 1, qPrintable(err));
}

// An end that hangs (here the line saying the settings could not be saved
// meets a full pipe on stderr) is ended by a second signal, but not before
// the first had two seconds.
void ProgramsTest::secondSignalWaitsForTheOrderlyEnd()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettings);
    QVERIFY(place(path, "<folder>"));
    QProcess zepta;
    zepta.setWorkingDirectory(dir.path());
    const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("stderr")));
    QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
    const int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK); // never reads
    QVERIFY(reader >= 0);
    zepta.setStandardErrorFile(QFile::decodeName(pipe));
    QVERIFY(startZepta(zepta, path));
    QTest::qWait(500);
    // From now on a line on stderr waits for ever.
    const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
    QVERIFY(::write(writer, QByteArray(1 << 20, 'x').constData(), 1 << 20) > 0);
    ::close(writer);

    QElapsedTimer sinceFirst;
    sinceFirst.start();
    ::kill(pid_t(zepta.processId()), SIGTERM);
    QThread::msleep(500);
    ::kill(pid_t(zepta.processId()), SIGTERM);
    zepta.waitForFinished(10000); // one left running is killed with its QProcess
    const qint64 took = sinceFirst.elapsed();
    ::close(reader);
    QCOMPARE(zepta.exitStatus(), QProcess::CrashExit);
    QVERIFY2(took >= 1900 && took < 5000, qPrintable(QString::number(took)));
}

// SIGTERM starts the shut-down write, and SIGKILL lands at some moment of it:
// the settings file is whole every time, never empty or cut short.
void ProgramsTest::killedWhileSavingLeavesAWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettings);
    // Offline at 115200 with CTS on "Panel-24C 6x24": what it saves on closing, too.
    const QByteArray settings("zCOM3\r\n3202");
    QVERIFY(writeFile(path, settings));
    QRandomGenerator random(14);
    for (int run = 0; run < 30; ++run) {
        QProcess zepta;
        zepta.setWorkingDirectory(dir.path());
        QVERIFY(startZepta(zepta, path));
        // The window comes up within some 100 ms of reading the settings; the
        // kill lands from before the signal's handling to after the rename.
        QThread::usleep(random.bounded(50000, 200000));
        ::kill(pid_t(zepta.processId()), SIGTERM);
        QThread::usleep(random.bounded(20000));
        ::kill(pid_t(zepta.processId()), SIGKILL);
        QVERIFY(zepta.waitForFinished(10000));
        QCOMPARE(fileBytes(path), settings);
    }
}

void ProgramsTest::moduleAtTheFarEndOfATerminal()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("vfd"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    QProcess sim;
    sim.setProcessEnvironment(environment);
    sim.start(ZEPTA_SIM_PATH,
              {"--show", "--model", "0", "--baud", "115200", "--dump", "--link", link});
    const QString path = firstLine(sim);
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);
    {
        SerialLine port(systemSerialDeviceFactory());
        QVERIFY(port.open(PortAddress::device(link), kLine));
        // Text, a code it does not know, a user font, then a status request.
        const QByteArray text = QByteArray("\x1b\x40Hello\r\nW") +
                                QByteArray::fromHex("1b99 1b2501 1b2601414105 0100000000 41"
                                                    "1f286583494e 1f28654030");
        QCOMPARE(port.write(text).value(), int(text.size()));
        QByteArray reply;
        QTRY_COMPARE(reply += port.read(64).value(), QByteArray("\x28\x65\x40SIM-20A 2x20"));
        QCOMPARE(port.write(QByteArray::fromHex("1f286584 4f5554")).value(), 7);
        QTest::qWait(200);
    }

    ::kill(pid_t(sim.processId()), SIGINT);
    QVERIFY(sim.waitForFinished(10000) && sim.exitStatus() == QProcess::NormalExit &&
            sim.exitCode() == 0);
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
void ProgramsTest::tapPassesBytesBothWays()
{
    PseudoTerminal module; // the test plays the real module on its master
    QProcess tap;
    tap.start(ZEPTA_SIM_PATH, {"--tap", module.slavePath(), "--baud", "115200"});
    const QString path = firstLine(tap);
    const QByteArray sent =
        QByteArray("\x1b\x40Hello") + QByteArray::fromHex("1f286583494e 1f28654030");
    const QByteArray reply = QByteArray("\x28\x65\x40SIM-24B 4x24");
    {
        SerialLine program(systemSerialDeviceFactory());
        QVERIFY(program.open(PortAddress::device(path), kLine));
        QCOMPARE(program.write(sent).value(), int(sent.size()));
        QCOMPARE(module.readMaster(sent.size()), sent);
        QVERIFY(module.writeMaster(reply));
        QByteArray got;
        QTRY_COMPARE(got += program.read(64).value(), reply);
    }
    // The lines in the order the bytes went: the reply after its request.
    QString printed;
    QTRY_VERIFY((printed += QString::fromLocal8Bit(tap.readAll())).count(u'\n') >= 5);
    QCOMPARE(printed,
             "Initialize  1B 40\nText \"Hello\"  48 65 6C 6C 6F\n"
             "Serial OUT mode start  1F 28 65 83 49 4E\nRead product type  1F 28 65 40 30\n"
             "<< Reply \"(e@SIM-24B 4x24\"  28 65 40 53 49 4D 2D 32 34 42 20 34 78 32 34\n");

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
    QVERIFY2(received == bytes, qPrintable(QString::number(received.size())));

    // The module's end goes away: the tap says so and fails.
    module.closeMaster();
    QVERIFY(tap.waitForFinished(10000));
    QCOMPARE(tap.exitCode(), 1);
    QVERIFY(tap.readAllStandardError().startsWith("zepta-sim: the module's end went away: "));
}

QTEST_GUILESS_MAIN(ProgramsTest)
#include "tst_programs.moc"
