// Zepta's main window and the simulated module, end to end: online on
// "Simulator" in the same process. zepta-sim on a pseudo-terminal is its own
// program's test. And a stalled line: the simulated module holds CTS low
// during a wait action while Zepta writes with CTS flow control on; the window
// stays alive, the user can leave the wait, and bytes that did not leave never
// arrive later.

#include "../mainwindow/systemwindow.h"
#include "core/module/shadowmodule.h"
#include "core/module/simulatordevice.h"
#include "gui/common/windowplacement.h"
#include "gui/simulator/simulatorwindow.h"
#include "gui/simulator/simulatorwindowopener.h"

#include <QElapsedTimer>
#include <QSlider>
#include <QTimer>

#ifdef Q_OS_UNIX
#include "support/pseudoterminal.h"
#endif

namespace {

struct Desk : SystemWindow
{
    // Shown, as the program shows it: the display waits for the main window.
    explicit Desk(const QByteArray &config = {}, const QString &windowStateFile = {})
        : SystemWindow(config, windowStateFile)
    {
        form->showFitted();
    }
    SimulatorWindow *display() const
    {
        return form->findChild<SimulatorWindow *>(QStringLiteral("SimulatedDisplay"));
    }
};

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

// "Solution for you." is 17 bytes: with 150 ms a byte its write gives up
// after about 2.5 s, well after the user acts.
constexpr int kWritePerByteMs = 150;
constexpr int kWaitSteps = 4; // 2 s busy
constexpr int kUserActsAfterMs = 300;

// The window's pulse: the longest gap between ticks of a 5 ms timer.
class Pulse
{
public:
    Pulse()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longestGapMs = std::max(m_longestGapMs, m_sinceTick.restart());
        });
        m_timer.start();
        m_sinceTick.start();
    }
    qint64 longestGapMs() const { return m_longestGapMs; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longestGapMs = 0;
};

} // namespace

class TestSimulatorEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void onlineWithTheSimulatorShowsItsGlass();
    void displayStaysAfterOfflineAndReturnsOnOnline();
    void savedSimulatorPortGoesOnlineAtStart();
    void dockedOrFloatingIsRemembered();
    void shadowOfAPortShowsWhatTheSimulatorShows();
    void userLeavesAStalledWrite_data();
    void userLeavesAStalledWrite();
};

void TestSimulatorEndToEnd::onlineWithTheSimulatorShowsItsGlass()
{
    Desk desk;
    auto *comSel = desk.find<QComboBox>("ComSel");
    QCOMPARE(comSel->itemText(comSel->count() - 1), QStringLiteral("Simulator"));
    QVERIFY(!desk.display()); // nothing until the simulator is online

    QVERIFY2(desk.goOnline(QStringLiteral("Simulator")),
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
    QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    SimulatedModule *module = desk.module();
    QVERIFY(module);
    desk.type(QStringLiteral("Kept"));
    desk.click("TextSet");
    QTRY_COMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("Kept"));

    desk.click("OfflineButton");
    QVERIFY(!desk.session.connection.isOnline());
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
    QVERIFY(desk.session.connection.isOnline());
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
    QString windowState;
    {
        // Online on the 6 x 24 model at 115200 baud when last closed.
        SystemWindow desk("zSimulator\r\n3012");
        QVERIFY(desk.session.connection.isOnline());
        QCOMPARE(desk.find<QComboBox>("ComSel")->currentText(), QStringLiteral("Simulator"));
        // Shown before the main window, the display would open behind it.
        auto *display = desk.form->findChild<SimulatorWindow *>();
        QVERIFY(display && !display->isVisible());
        desk.form->showFitted();
        QTRY_VERIFY(display->isVisible());
        QCOMPARE(simulatedModule(desk.session.serialLine.device())->model().displayModel(), 2);
        for (const QWidget *window :
             {static_cast<QWidget *>(desk.form.get()), static_cast<QWidget *>(display)}) {
            QVERIFY2(WindowPlacement::onOneScreen(window->frameGeometry()),
                     qPrintable(window->objectName()));
        }
        desk.form->close();
        saved = fileBytes(desk.configPath());
        windowState = QString::fromLatin1(fileBytes(desk.dir.filePath("windows.conf")));
    }
    // The settings file keeps its layout; the places went to a file of their own.
    QCOMPARE(saved, QByteArray("zSimulator\r\n3012"));
    QVERIFY(windowState.contains(QStringLiteral("[Form1]")));
    QVERIFY(windowState.contains(QStringLiteral("[SimulatedDisplay]")));
}

void TestSimulatorEndToEnd::dockedOrFloatingIsRemembered()
{
    QTemporaryDir place;
    const QString windowState = place.filePath(QStringLiteral("windows.conf"));
    {
        Desk desk({}, windowState);
        QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
        QVERIFY(desk.display()->isWindow());
        desk.click("DockButton", desk.display());
        QCOMPARE(desk.display()->window(), desk.form.get());
        QVERIFY(desk.display()->isVisible());
        // The glass follows the module wherever the display is.
        desk.click("ModInit");
        desk.type(QStringLiteral("Docked"));
        desk.click("TextSet");
        QTRY_COMPARE(desk.module()->model().textRows().value(0).trimmed(),
                     QStringLiteral("Docked"));
    }
    Desk desk({}, windowState);
    QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    QCOMPARE(desk.display()->window(), desk.form.get());
    desk.click("DockButton", desk.display());
    QVERIFY(desk.display()->isWindow() && desk.display()->isVisible());
    QVERIFY(WindowPlacement::onOneScreen(desk.display()->frameGeometry()));
}

void TestSimulatorEndToEnd::shadowOfAPortShowsWhatTheSimulatorShows()
{
#ifdef Q_OS_UNIX
    Desk desk;
    desk.click("RecCommandButton"); // a board recorded offline
    issueSequence(desk);
    desk.click("StopCommandButton");

    PseudoTerminal port;
    QVERIFY(!desk.find("SimulatedDisplayButton")->isEnabled());
    QVERIFY(desk.goOnline(port.slavePath()));
    desk.click("SimulatedDisplayButton");
    QVERIFY(desk.display() && desk.display()->isVisible());
    ShadowModule *shadow = desk.form->findChild<SimulatorWindowOpener *>()->shadow();
    QVERIFY(shadow);
    desk.click("PlayCommandButton");
    QTRY_COMPARE(shadow->model().textRows(), kGlassAfterSequence);

    desk.click("OfflineButton");
    QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    desk.click("PlayCommandButton");
    QTRY_COMPARE(desk.module()->model().textRows(), kGlassAfterSequence);
    QVERIFY(desk.prompt.messages().isEmpty());
#else
    QSKIP("Needs a pseudo-terminal.");
#endif
}

void TestSimulatorEndToEnd::userLeavesAStalledWrite_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("staysOnline");
    QTest::newRow("command, Offline") << "command"
                                      << "OfflineButton" << false;
    QTest::newRow("playback, Offline") << "playback"
                                       << "OfflineButton" << false;
    QTest::newRow("playback, STOP") << "playback"
                                    << "StopCommandButton" << true;
}

void TestSimulatorEndToEnd::userLeavesAStalledWrite()
{
    QFETCH(QString, work);
    QFETCH(QString, button);
    QFETCH(bool, staysOnline);
    SystemWindow desk;
    desk.session.serialLine.setTimeouts(SerialLine::kReadTimeoutMs, kWritePerByteMs);
    auto *bps = desk.find<QComboBox>("BPS");
    bps->setCurrentIndex(bps->findText(QStringLiteral("115200")));
    desk.click("Check1");
    QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    SimulatedModule *module = desk.module();
    QVERIFY(module);
    desk.find<QSlider>("WaitSlider")->setValue(kWaitSteps);
    desk.click("WaitCommandButton");
    QTRY_VERIFY(module->line().moduleBusy());

    Pulse pulse;
    QTimer::singleShot(kUserActsAfterMs, desk.form.get(),
                       [&desk, button] { desk.click(qPrintable(button)); });
    QElapsedTimer took;
    took.start();
    if (work == u"command") {
        desk.type(QStringLiteral("Solution for you."));
        desk.click("TextSet");
    } else {
        desk.session.logBoard.setText(QStringLiteral(
            "PRT 53h 6fh 6ch 75h 74h 69h 6fh 6eh 20h 66h 6fh 72h 20h 79h 6fh 75h 2eh;\r\n"
            "PRT 0ch;\r\n"));
        desk.click("PlayCommandButton");
    }
    const qint64 ms = took.elapsed();

    // Left at once, without a port error, and the window alive throughout.
    QVERIFY2(ms < 17 * kWritePerByteMs - 500, qPrintable(QString::number(ms)));
    QCOMPARE(desk.prompt.messages(), QStringList());
    QCOMPARE(desk.session.connection.isOnline(), staysOnline);
    QCOMPARE(desk.enabledControls(),
             staysOnline ? QStringLiteral("OfflineButton")
                         : QStringLiteral("OnlineButton ComSel BPS Check1 OfflineButton"));
    // A sanity bound only (a loaded machine stretches every gap).
    QVERIFY2(pulse.longestGapMs() < 400, qPrintable(QString::number(pulse.longestGapMs())));

    // Once the module reads again, nothing of what stayed behind arrives.
    QTRY_VERIFY_WITH_TIMEOUT(!module->line().moduleBusy(), 10000);
    if (!staysOnline)
        QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    desk.type(QStringLiteral("after"));
    desk.click("TextSet");
    QTRY_COMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("after"));
    QCOMPARE(desk.prompt.messages(), QStringList());
}

QTEST_MAIN(TestSimulatorEndToEnd)
#include "tst_simulatorendtoend.moc"
