// zepta ended by SIGTERM whatever stands where its settings file should be:
// the program must end, saving the settings or saying on stderr why it could
// not, and must not hang at start on a file it cannot read. And what the three
// programs answer before any window, where there is no display at all.

#include "core/files/atomicsave.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

} // namespace

class ZeptaSignalsTest : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
    void sigtermEndsWhateverTheSettingsFile_data();
    void sigtermEndsWhateverTheSettingsFile();
    void secondSignalWaitsForTheOrderlyEnd_data();
    void secondSignalWaitsForTheOrderlyEnd();
    void killedWhileSavingLeavesAWholeFile();
    void settingsFileLivesWhereStarted_data();
    void settingsFileLivesWhereStarted();
};

void ZeptaSignalsTest::answersWithoutADisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    const std::pair<const char *, const char *> programs[] = {
        {"zepta", ZEPTA_PATH}, {"zepta-cli", ZEPTA_CLI_PATH}, {"zepta-sim", ZEPTA_SIM_PATH}};
    for (const auto &[name, path] : programs) {
        for (const char *option : {"--help", "--version"}) {
            QTest::addRow("%s %s", name, option)
                << QString::fromLatin1(path) << QStringList{QString::fromLatin1(option)} << 0;
        }
    }
    QTest::newRow("zepta") << QStringLiteral(ZEPTA_PATH) << QStringList{} << 1;
    QTest::newRow("zepta-sim --show")
        << QStringLiteral(ZEPTA_SIM_PATH) << QStringList{"--show"} << 1;
}

void ZeptaSignalsTest::answersWithoutADisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QTemporaryDir dir;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    const QString name = QFileInfo(program).fileName();
    if (arguments == QStringList{"--version"}) {
        QCOMPARE(out, name + QStringLiteral(" " ZEPTA_VERSION "\n"));
    } else if (arguments == QStringList{"--help"}) {
        QVERIFY2(out.startsWith(QStringLiteral("Usage: ")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("--version")), qPrintable(out));
    } else {
        QVERIFY(out.isEmpty());
        QVERIFY2(err.startsWith(name + QStringLiteral(": ")) && err.count(u'\n') == 1 &&
                     err.endsWith(u'\n') && err.contains(QStringLiteral("display")),
                 qPrintable(err));
        QVERIFY(QDir(dir.path()).isEmpty());
        return;
    }
    QVERIFY2(err.isEmpty(), qPrintable(err));
}

void ZeptaSignalsTest::sigtermEndsWhateverTheSettingsFile_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind :
         {"regular file", "damaged file", "folder", "dangling link", "link to a device", "mode 000",
          "mode 444", "read-only folder", "FIFO"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void ZeptaSignalsTest::sigtermEndsWhateverTheSettingsFile()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettings);
    const bool good =
        kind == "regular file" || kind.startsWith("mode") || kind == "read-only folder";
    if (good)
        QVERIFY(writeFile(path, "zCOM3\r\n3000"));
    if (kind == "damaged file")
        QVERIFY(writeFile(path, QByteArray::fromHex("7f454c46") + QByteArray(4000, '\x01')));
    if (kind == "folder")
        QVERIFY(QDir(dir.path()).mkdir(kSettings));
    if (kind == "dangling link")
        QVERIFY(QFile::link(dir.filePath("gone/settings"), path));
    if (kind == "link to a device")
        QVERIFY(QFile::link("/dev/null", path));
    if (kind == "FIFO")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == "mode 000")
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0), 0);
    if (kind == "mode 444")
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0444), 0);

    QProcess zepta;
    zepta.setWorkingDirectory(dir.path());
    QVERIFY(startZepta(zepta, path));
    // A moment later the window stands (or the start hangs on the file).
    if (kind == "read-only folder")
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    QTest::qWait(500);

    zepta.terminate(); // SIGTERM
    const bool ended = zepta.waitForFinished(10000);
    if (kind == "read-only folder")
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    if (!ended) {
        zepta.kill();
        zepta.waitForFinished();
    }
    QVERIFY2(ended, "zepta did not end on SIGTERM");
    QCOMPARE(zepta.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zepta.exitCode(), 0);

    // Saved, or told on stderr why not (which depends on who runs the test:
    // root writes where the modes forbid it).
    const QString err = QString::fromLocal8Bit(zepta.readAllStandardError());
    const bool wasSaved = QFileInfo(path).isFile() &&
                          fileBytes(path) == (good ? QByteArray("zCOM3\r\n3000") : kDefaults);
    const bool told = err.contains("The settings could not be saved.\nError: Could not write "
                                   "to file: ");
    QVERIFY2(wasSaved != told, qPrintable(err));
    if (kind == "regular file" || kind == "damaged file")
        QVERIFY(wasSaved);
    // A file it could not take as written is said so once, at start.
    if (kind == "damaged file")
        QCOMPARE(err.count(QStringLiteral("Settings in ")), 1);
    if (kind == "folder" || kind == "FIFO" || kind == "link to a device" || kind == "dangling link")
        QVERIFY(told);
}

void ZeptaSignalsTest::secondSignalWaitsForTheOrderlyEnd_data()
{
    QTest::addColumn<bool>("heldUp");
    QTest::addColumn<int>("gapMs"); // between the two signals
    // Two signals that come before the first is taken are one for the system;
    // a few milliseconds apart they are two, as GNU timeout's often are.
    QTest::newRow("back to back: saved") << false << 5;
    QTest::newRow("held up: ended once the first had its time") << true << 500;
}

// Two SIGTERMs back to back (GNU timeout signals the child, then its group)
// are one request: the settings are saved. An end that hangs (here the line
// saying the settings could not be saved meets a full pipe on stderr) is
// ended by a second signal, but not before the first had two seconds.
void ZeptaSignalsTest::secondSignalWaitsForTheOrderlyEnd()
{
    QFETCH(bool, heldUp);
    QFETCH(int, gapMs);
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettings);
    // The older five-byte layout comes back in the new one: a save shows.
    if (heldUp)
        QVERIFY(QDir(dir.path()).mkdir(kSettings));
    else
        QVERIFY(writeFile(path, "41200"));
    QProcess zepta;
    zepta.setWorkingDirectory(dir.path());
    const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("stderr")));
    QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
    const int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK); // never reads
    QVERIFY(reader >= 0);
    zepta.setStandardErrorFile(QFile::decodeName(pipe));
    QVERIFY(startZepta(zepta, path));
    QTest::qWait(500);
    if (heldUp) { // from now on a line on stderr waits for ever
        const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
        while (::write(writer, "x", 1) == 1) {
        }
        ::close(writer);
    }

    QElapsedTimer sinceFirst;
    sinceFirst.start();
    ::kill(pid_t(zepta.processId()), SIGTERM);
    QThread::msleep(gapMs);
    ::kill(pid_t(zepta.processId()), SIGTERM);
    const bool ended = zepta.waitForFinished(10000);
    const qint64 took = sinceFirst.elapsed();
    ::close(reader);
    if (!ended) {
        zepta.kill();
        zepta.waitForFinished();
    }
    QVERIFY(ended);
    if (heldUp) {
        QCOMPARE(zepta.exitStatus(), QProcess::CrashExit);
        QVERIFY2(took >= 1900 && took < 5000, qPrintable(QString::number(took)));
    } else {
        QCOMPARE(zepta.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zepta.exitCode(), 0);
        QCOMPARE(fileBytes(path), QByteArray("zCOM5\r\n1200"));
    }
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

void ZeptaSignalsTest::settingsFileLivesWhereStarted_data()
{
    // Each file before the run and after it; empty: none there. The older
    // five-byte layout comes back in the new one, so a file that was read
    // and saved shows it.
    QTest::addColumn<bool>("fromLauncher");
    QTest::addColumn<QByteArray>("startFolderBefore");
    QTest::addColumn<QByteArray>("configFolderBefore");
    QTest::addColumn<QByteArray>("startFolderAfter");
    QTest::addColumn<QByteArray>("configFolderAfter");
    const QByteArray old("41200");
    const QByteArray saved("zCOM5\r\n1200");
    QTest::newRow("shell: the start folder's file, whatever the config folder holds")
        << false << old << old << saved << old;
    QTest::newRow("shell, no file yet: made in the start folder")
        << false << QByteArray() << QByteArray() << kDefaults << QByteArray();
    QTest::newRow("launcher, first use: folder and file made")
        << true << old << QByteArray() << old << kDefaults;
    QTest::newRow("launcher: the config folder's file")
        << true << QByteArray() << old << QByteArray() << saved;
}

// Started from a shell the settings file is the one where the user works;
// the desktop launcher's option keeps it in the user's configuration folder.
void ZeptaSignalsTest::settingsFileLivesWhereStarted()
{
    QFETCH(bool, fromLauncher);
    QFETCH(QByteArray, startFolderBefore);
    QFETCH(QByteArray, configFolderBefore);
    QTemporaryDir dir;
    const QString startFolder = dir.filePath(QStringLiteral("work"));
    const QString configHome = dir.filePath(QStringLiteral("config"));
    const QString configFolder = configHome + QStringLiteral("/zepta");
    QVERIFY(QDir().mkpath(startFolder));
    if (!startFolderBefore.isEmpty())
        QVERIFY(writeFile(startFolder + u'/' + kSettings, startFolderBefore));
    if (!configFolderBefore.isEmpty()) {
        QVERIFY(QDir().mkpath(configFolder));
        QVERIFY(writeFile(configFolder + u'/' + kSettings, configFolderBefore));
    }

    QProcess zepta;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    zepta.setProcessEnvironment(environment);
    zepta.setWorkingDirectory(startFolder);
    QVERIFY(startZepta(zepta, (fromLauncher ? configFolder : startFolder) + u'/' + kSettings,
                       fromLauncher ? QStringList{"--settings-in-config-folder"} : QStringList{}));
    QTest::qWait(500);
    zepta.terminate();
    QVERIFY(zepta.waitForFinished(10000));
    QCOMPARE(zepta.exitCode(), 0);

    const auto after = [](const QString &path) {
        return QFileInfo::exists(path) ? fileBytes(path) : QByteArray();
    };
    QTEST(after(startFolder + u'/' + kSettings), "startFolderAfter");
    QTEST(after(configFolder + u'/' + kSettings), "configFolderAfter");
}
