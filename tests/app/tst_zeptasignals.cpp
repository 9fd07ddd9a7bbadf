// zepta ended by SIGTERM whatever stands where its settings file should be:
// the program must end, saving the settings or saying on stderr why it could
// not, and must not hang at start on a file it cannot read. And what the three
// programs answer before any window, where there is no display at all.

#include "core/files/atomicsave.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSettings = QStringLiteral("Config_QV_demo.dat");
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

} // namespace

class ZeptaSignalsTest : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
    void settingsFileLivesWhereStarted_data();
    void settingsFileLivesWhereStarted();
    void secondSignalWaitsForTheOrderlyEnd();
    void killedWhileSavingLeavesAWholeFile();
};

void ZeptaSignalsTest::answersWithoutADisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments"); // %1: a board, %2: the folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // how standard output starts
    QTest::addColumn<QString>("err"); // how standard error starts
    const auto row = [](const char *name, const QStringList &arguments, int exitCode,
                        const QString &out, const QString &err) {
        QTest::newRow(name) << QString::fromLatin1(name).section(u' ', 0, 0) << arguments
                            << exitCode << out << err;
    };
    // Named as users type them, not by the path the test started them from.
    for (const char *name : {"zepta", "zepta-cli", "zepta-sim"}) {
        QTest::addRow("%s --help", name) << QString::fromLatin1(name) << QStringList{"--help"} << 0
                                         << QStringLiteral("Usage: %1 ").arg(name) << QString();
        QTest::addRow("%s --version", name)
            << QString::fromLatin1(name) << QStringList{"--version"} << 0
            << QStringLiteral("%1 " ZEPTA_VERSION "\n").arg(name) << QString();
    }
    row("zepta-cli --help send", {"--help", "send"}, 0,
        "Usage: zepta-cli [options] send (TEXT | --file PATH)\n", {});
    const QString noDisplay("no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                            "not set)\n");
    row("zepta", {}, 1, {}, "zepta: " + noDisplay);
    row("zepta-sim --show", {"--show"}, 1, {}, "zepta-sim: --show: " + noDisplay);
    row("zepta-sim --model 4", {"--model", "4"}, 2, {}, "zepta-sim: --model takes 0 to 3");
    row("zepta-sim --cts without --tap", {"--cts"}, 2, {}, "zepta-sim: --cts needs --tap");
    row("zepta-sim --tap on no port", {"--tap", "/dev/zepta-none"}, 1, {},
        "zepta-sim: COM port cannot be opened: /dev/zepta-none: No such file or directory\n");

    const QString formats = QStringLiteral("txt, sei, hex, asm or c");
    const QString wide = QStringLiteral("zepta-cli: Line 2 holds \"100h;\", which is more than "
                                        "one byte (00h to FFh). Nothing was written.\n");
    const QString notWritten = QStringLiteral("zepta-cli: Error: Could not write to file: ");
    const QString png = QStringLiteral("%2/glass.png");
    row("zepta-cli unknown option", {"convert", "--nope", "x"}, 2, {},
        "zepta-cli: Unknown option 'nope'.\n");
    row("zepta-cli baud not offered", {"send", "--port", "/dev/null", "--baud", "1200", "x"}, 2, {},
        "zepta-cli: --baud must be 9600, 19200, 38400 or 115200, not 1200.\n");
    row("zepta-cli empty port name", {"send", "--port", "", "x"}, 2, {},
        "zepta-cli: send needs --port NAME (see 'zepta-cli ports').\n");
    row("zepta-cli export: unknown format", {"export", "--format", "zip", "%1", "%2/out"}, 2, {},
        "zepta-cli: --format must be " + formats + ", not 'zip'.\n");
    row("zepta-cli export: no format", {"export", "%1", "%2/out"}, 2, {},
        "zepta-cli: export needs --format FORMAT, one of " + formats + ".\n");
    row("zepta-cli export: input missing", {"export", "--format", "c", "%2/none", "%2/out"}, 1, {},
        "zepta-cli: Could not load the file: ");
    row("zepta-cli export: folder missing", {"export", "--format", "hex", "%1", "%2/no/out"}, 1, {},
        notWritten);
    row("zepta-cli export: token above FFh", {"export", "--format", "c", "%2/wide.txt", "%2/out"},
        1, {}, wide);
    row("zepta-cli render: no such model", {"render", "--model", "4", "%1", png}, 2, {},
        "zepta-cli: --model must be 0 to 3, not '4'.\n");
    // The players count the empty piece after the last line break as a line.
    row("zepta-cli render: past the last line", {"render", "--at", "3", "%1", png}, 2, {},
        "zepta-cli: --at 3 is past the end of %1, whose last line is 2.\n");
    row("zepta-cli render: token above FFh past --at", {"render", "--at", "1", "%2/wide.txt", png},
        2, {}, wide);
    row("zepta-cli render: folder missing", {"render", "%1", "%2/no/glass.png"}, 1, {}, notWritten);
}

// What the programs answer before they work, with no display at all: help,
// version and every refusal, which writes nothing.
void ZeptaSignalsTest::answersWithoutADisplay()
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
    for (QString &argument : arguments)
        argument = argument.replace("%1", board).replace("%2", dir.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    const QHash<QString, QString> paths = {
        {"zepta", ZEPTA_PATH}, {"zepta-cli", ZEPTA_CLI_PATH}, {"zepta-sim", ZEPTA_SIM_PATH}};
    process.start(paths.value(program), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QTEST(process.exitCode(), "exitCode");
    const QString told = QString::fromLocal8Bit(process.readAllStandardOutput());
    QVERIFY2(told.startsWith(out) && (out.isEmpty() == told.isEmpty()), qPrintable(told));
    const QString errTold = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(errTold.startsWith(err.replace("%1", board)) && (err.isEmpty() == errTold.isEmpty()),
             qPrintable(errTold));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"board.txt", "wide.txt"}));
}

void ZeptaSignalsTest::settingsFileLivesWhereStarted_data()
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
void ZeptaSignalsTest::settingsFileLivesWhereStarted()
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
    QVERIFY2(zepta.waitForFinished(10000), "zepta did not end on SIGTERM");
    QCOMPARE(zepta.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zepta.exitCode(), 0);

    const auto after = [](const QString &path) {
        return QFileInfo(path).isFile() ? fileBytes(path) : QByteArray();
    };
    QTEST(after(inStartFolder), "startFolderAfter");
    QTEST(after(inConfigFolder), "configFolderAfter");
    const QString err = QString::fromLocal8Bit(zepta.readAllStandardError());
    if (!told.isEmpty())
        QVERIFY2(err.count(told) == 1, qPrintable(err));
}

// An end that hangs (here the line saying the settings could not be saved
// meets a full pipe on stderr) is ended by a second signal, but not before
// the first had two seconds.
void ZeptaSignalsTest::secondSignalWaitsForTheOrderlyEnd()
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
    const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
    while (::write(writer, "x", 1) == 1) { // from now on a line on stderr waits for ever
    }
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
// ZEPTA_KILL_RUNS sets the number of runs (default 30).
void ZeptaSignalsTest::killedWhileSavingLeavesAWholeFile()
{
    const int runs = qEnvironmentVariableIsSet("ZEPTA_KILL_RUNS")
                         ? qEnvironmentVariableIntValue("ZEPTA_KILL_RUNS")
                         : 30;
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettings);
    // Offline at 115200 with CTS on "Panel-24C 6x24": what it saves on closing, too.
    const QByteArray settings("zCOM3\r\n3202");
    QVERIFY(writeFile(path, settings));
    QRandomGenerator random(14);
    for (int run = 0; run < runs; ++run) {
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

QTEST_GUILESS_MAIN(ZeptaSignalsTest)
#include "tst_zeptasignals.moc"
