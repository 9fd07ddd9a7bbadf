// Zepta's main window and the simulated module, end to end: online on
// "Simulator" in the same process, and through the system's serial path on
// zepta-sim's pseudo-terminal; both must leave the same glass.

#include "../mainwindow/deskfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <QProcess>

#include <csignal>
#endif

namespace {

// Initialize, the cursor to column 20 of the bottom row, vertical scroll mode,
// then text: "Hell" fills the bottom row, which then moves up a line, and
// "o World" starts the new bottom row. In over-write mode the text would go
// home instead; without the cursor set it would start at the top.
void issueSequence(const Desk &desk)
{
    desk.click("ModInit");
    desk.click("Pos_92"); // x = 20, y = 3
    desk.click("DispMod_1");
    desk.type(QStringLiteral("Hello World"));
    desk.click("TextSet");
}

const QStringList kGlassAfterSequence = {
    QString(24, u' '),
    QString(24, u' '),
    QString(20, u' ') + QStringLiteral("Hell"),
    QStringLiteral("o World").leftJustified(24),
};

} // namespace

class TestSimulatorEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void onlineWithTheSimulatorShowsItsGlass();
    void displayStaysAfterOfflineAndReturnsOnOnline();
    void savedSimulatorPortGoesOnlineAtStart();
    void busyModuleWithCtsEndsInPortError();
#ifdef Q_OS_UNIX
    void zeptaSimGetsTheSameThroughTheSerialPath();
#endif
};

void TestSimulatorEndToEnd::onlineWithTheSimulatorShowsItsGlass()
{
    Desk desk;
    auto *comSel = desk.find<QComboBox>("ComSel");
    QCOMPARE(comSel->itemText(comSel->count() - 1), QStringLiteral("Simulator"));
    QVERIFY(!desk.display()); // nothing until the simulator is online

    desk.choosePort(QStringLiteral("Simulator"));
    desk.click("OnlineButton");
    QVERIFY2(desk.session.connection.comport_online(),
             qPrintable(desk.prompt.messages().join('|')));
    SimulatorWindow *display = desk.display();
    QVERIFY(display && display->isVisible());
    QCOMPARE(display->windowTitle(), QStringLiteral("Simulated display"));

    issueSequence(desk);
    SimulatedModule *module = desk.module();
    QVERIFY(module);
    QTRY_COMPARE(module->model().textRows(), kGlassAfterSequence);
    QVERIFY(desk.prompt.messages().isEmpty());

    // The glass follows the display model list: six rows of 24, text kept.
    desk.find<QComboBox>("DisplayList")->setCurrentIndex(2);
    QCOMPARE(module->model().displayModel(), 2);
    QCOMPARE(module->model().textRows().size(), 6);
    QCOMPARE(module->model().textRows().mid(0, 4), kGlassAfterSequence);
}

void TestSimulatorEndToEnd::displayStaysAfterOfflineAndReturnsOnOnline()
{
    Desk desk;
    desk.choosePort(QStringLiteral("Simulator"));
    desk.click("OnlineButton");
    SimulatedModule *module = desk.module();
    QVERIFY(module);
    desk.type(QStringLiteral("Kept"));
    desk.click("TextSet");
    QTRY_COMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("Kept"));

    desk.click("OfflineButton");
    QVERIFY(!desk.session.connection.comport_online());
    SimulatorWindow *display = desk.display();
    QVERIFY(display->isVisible()); // the last state stays on view
    // Offline commands are shown and recorded, but the module hears nothing.
    desk.type(QStringLiteral("Lost"));
    desk.click("TextSet");
    QCOMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("Kept"));

    // Closed by the user, reopened by the next Online, on the same module.
    display->close();
    QVERIFY(!display->isVisible());
    desk.find<QComboBox>("DisplayList")->setCurrentIndex(0); // followed while closed
    QCOMPARE(module->model().displayModel(), 0);
    desk.click("OnlineButton");
    QVERIFY(desk.session.connection.comport_online());
    QCOMPARE(desk.module(), module);
    QCOMPARE(desk.display(), display);
    QVERIFY(display->isVisible());
    QCOMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("Kept"));

    // Closed while online, it stays closed whatever else the connection does.
    display->close();
    desk.session.connection.setSerialOutRunning(true);
    desk.session.connection.setSerialOutRunning(false);
    QVERIFY(!display->isVisible());
    QVERIFY(desk.prompt.messages().isEmpty());
}

void TestSimulatorEndToEnd::savedSimulatorPortGoesOnlineAtStart()
{
    QByteArray saved;
    {
        // Online on the 6 x 24 model at 115200 baud when last closed.
        Desk desk("zSimulator\r\n3012");
        QVERIFY(desk.session.connection.comport_online());
        QCOMPARE(desk.find<QComboBox>("ComSel")->currentText(), QStringLiteral("Simulator"));
        QVERIFY(desk.display() && desk.display()->isVisible());
        QCOMPARE(desk.module()->model().displayModel(), 2);
        desk.form->close();
        QFile file(desk.dir.filePath(QString::fromLatin1(ConfigFile::kFileName)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        saved = file.readAll();
    }
    QCOMPARE(saved, QByteArray("zSimulator\r\n3012"));
}

void TestSimulatorEndToEnd::busyModuleWithCtsEndsInPortError()
{
    Desk desk;
    // "Solution for you." is 17 bytes: with 60 ms a byte its write gives up
    // after about a second.
    constexpr int kWritePerByteMs = 60;
    desk.session.ports.setTimeouts(PortTable::kReadTimeoutMs, kWritePerByteMs);
    desk.choosePort(QStringLiteral("Simulator"));
    desk.chooseBaud("115200");
    desk.click("Check1");
    QVERIFY(desk.find<QCheckBox>("Check1")->isChecked());
    desk.click("OnlineButton");
    QVERIFY(desk.session.connection.comport_online());
    SimulatedModule *module = desk.module();
    QVERIFY(module);

    desk.find<QSlider>("WaitSlider")->setValue(255); // busy for 127.5 s
    desk.click("WaitCommandButton");
    QTRY_VERIFY(module->line().moduleBusy());

    // The window's pulse: the longest gap between ticks of a 5 ms timer.
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    int ticks = 0;
    QTimer pulse;
    pulse.setInterval(5);
    connect(&pulse, &QTimer::timeout, this, [&] {
        longestGapMs = std::max(longestGapMs, sinceTick.restart());
        ++ticks;
    });
    pulse.start();
    sinceTick.start();

    QElapsedTimer took;
    took.start();
    desk.type(QStringLiteral("Solution for you."));
    desk.click("TextSet");
    const qint64 ms = took.elapsed();
    pulse.stop();

    QCOMPARE(desk.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!desk.session.connection.comport_online());
    QVERIFY2(ms >= 17 * kWritePerByteMs - 50, qPrintable(QString::number(ms)));
    // A sanity bound only (a loaded machine stretches every gap); bench_simulator measures it.
    QVERIFY2(longestGapMs < 400, qPrintable(QString::number(longestGapMs)));
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    QVERIFY(desk.display()->isVisible());
    QCOMPARE(module->model().textRows().value(0).trimmed(), QString());
}

#ifdef Q_OS_UNIX
void TestSimulatorEndToEnd::zeptaSimGetsTheSameThroughTheSerialPath()
{
    QProcess sim;
    sim.start(QStringLiteral(ZEPTA_SIM_PATH), {"--model", "1", "--baud", "115200", "--dump"});
    QVERIFY(sim.waitForStarted());
    for (int i = 0; i < 100 && !sim.canReadLine(); ++i)
        sim.waitForReadyRead(100);
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QVERIFY2(path.startsWith(QStringLiteral("/dev/")), qPrintable(path));

    {
        Desk desk;
        desk.choosePort(path);
        desk.chooseBaud("115200");
        desk.click("OnlineButton");
        QVERIFY2(desk.session.connection.comport_online(),
                 qPrintable(desk.prompt.messages().join('|')));
        QVERIFY(!desk.display()); // a real port: no simulated display in Zepta
        issueSequence(desk);
        // zepta-sim lists the text once the line has been quiet for a moment.
        QByteArray out;
        for (int i = 0; i < 100 && !out.contains("Text \"Hello World\""); ++i) {
            sim.waitForReadyRead(100);
            out += sim.readAllStandardOutput();
        }
        QVERIFY2(out.contains("Text \"Hello World\""), out.constData());
        QVERIFY(desk.prompt.messages().isEmpty());
    }

    ::kill(pid_t(sim.processId()), SIGTERM);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 0);
    const QStringList lines =
        QString::fromLocal8Bit(sim.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.mid(lines.size() - kGlassAfterSequence.size()), kGlassAfterSequence);
}
#endif

QTEST_MAIN(TestSimulatorEndToEnd)
#include "tst_simulatorendtoend.moc"
