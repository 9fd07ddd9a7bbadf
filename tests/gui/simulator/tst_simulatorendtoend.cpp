// The "Simulated display" window, and Zepta's main window and the simulated
// module end to end: online on "Simulator" in the same process. zepta-sim on a pseudo-terminal is
// its own program's test. And a stalled line: the simulated module holds CTS low during a wait
// action while Zepta writes with CTS flow control on; the window stays alive, the user can leave
// the wait, and bytes that did not leave never arrive later.

#include "../mainwindow/mainwindowfixture.h"
#include "core/module/modulemodel.h"
#include "core/module/shadowmodule.h"
#include "core/module/simulatordevice.h"
#include "core/session/commandsession.h"
#include "core/session/devicefactory.h"
#include "gui/common/windowplacement.h"
#include "gui/simulator/glasswidget.h"
#include "gui/simulator/simulatorwindow.h"
#include "gui/simulator/simulatorwindowopener.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTimer>

#ifdef Q_OS_UNIX
#include "support/pseudoterminal.h"
#endif

namespace {

// The main window as the program builds it, over the system's own serial
// devices ("Simulator" among them), started from the given settings file or
// from none.
struct Desk : WindowFixture
{
    ScriptedPrompt prompt;
    CommandSession session{systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252)};
    SetupState state;

    // The windows' places are kept in windowStateFile, by default in dir.
    explicit Desk(const QByteArray &config = {}, QString windowStateFile = {})
    {
        if (!config.isEmpty() && !writeFile(configPath(), config))
            qFatal("cannot write the settings file");
        if (windowStateFile.isEmpty())
            windowStateFile = dir.filePath(QStringLiteral("windows.conf"));
        form = std::make_unique<MainWindow>(
            MainWindowParts{session, state, prompt, {}, dir.path(), windowStateFile});
    }

    ~Desk() { form.reset(); } // before the session it shows
    // Picks the port from the list, or types its name, and clicks Online.
    bool goOnline(const QString &port) const
    {
        auto *comSel = find<QComboBox>("ComSel");
        const int index = comSel->findText(port);
        if (index >= 0)
            comSel->setCurrentIndex(index);
        else
            comSel->setEditText(port);
        click("OnlineButton");
        return session.connection.isOnline();
    }
    void type(const QString &text) const { find<QLineEdit>("TxtChr")->setText(text); }
    SimulatedModule *module() const { return simulatedModule(session.serialLine.device()); }
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

} // namespace

class TestSimulatorEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void displayShowsWhatTheModuleRead();
    void displayFollowsTheConnection();
    void savedPortAndPlacesComeBack();
    void shadowOfAPortShowsWhatTheSimulatorShows();
    void userLeavesAStalledWrite_data();
    void userLeavesAStalledWrite();
};

// The display window on its own, over a module fed directly.
void TestSimulatorEndToEnd::displayShowsWhatTheModuleRead()
{
    ModuleModel model(std::make_shared<ManualModuleClock>());
    SimulatorWindow window(model);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *glass = window.findChild<GlassWidget *>(QStringLiteral("Glass"));
    auto *list = window.findChild<QListWidget *>(QStringLiteral("DecodedCommands"));
    model.receive(QByteArray("\x1b\x40Hello\x1b\x99", 9));
    QTRY_VERIFY(glass->picture().litDots() > 0);
    QTRY_COMPARE(list->count(), 4);

    window.setDisplayModel(2);
    QCOMPARE(glass->picture().rows, 6);
}

void TestSimulatorEndToEnd::displayFollowsTheConnection()
{
    Desk desk;
    desk.form->showFitted();  // as the program shows it: the display waits for it
    QVERIFY(!desk.display()); // nothing until the simulator is online
    QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    SimulatorWindow *display = desk.display();
    QVERIFY(display && display->isVisible());
    issueSequence(desk);
    SimulatedModule *module = desk.module();
    QTRY_COMPARE(module->model().textRows(), kGlassAfterSequence);

    // Offline the last state stays on view, and the module hears nothing.
    desk.click("OfflineButton");
    QVERIFY(display->isVisible());
    desk.type(QStringLiteral("Lost"));
    desk.click("TextSet");
    // Closed by the user, it follows the display model list (six rows of 24,
    // text kept) and the next Online brings it back, on the same module.
    display->close();
    desk.find<QComboBox>("DisplayList")->setCurrentIndex(2);
    desk.click("OnlineButton");
    QCOMPARE(desk.module(), module);
    QVERIFY(display->isVisible());
    QCOMPARE(module->model().textRows().size(), 6);
    QCOMPARE(module->model().textRows().mid(0, 4), kGlassAfterSequence);

    // Closed while online, it stays closed whatever else the connection does.
    display->close();
    desk.session.connection.setSerialOutRunning(true);
    desk.session.connection.setSerialOutRunning(false);
    QVERIFY(!display->isVisible());
    QVERIFY(desk.prompt.messages().isEmpty());
}

// A saved "Simulator" port goes online at start, the display docked or
// floating as it was left, and the windows wholly on a screen.
void TestSimulatorEndToEnd::savedPortAndPlacesComeBack()
{
    QTemporaryDir place;
    const QString windowState = place.filePath(QStringLiteral("windows.conf"));
    {
        Desk desk("zSimulator\r\n3012", windowState); // online on the 6 x 24 model
        // Shown before the main window, the display would open behind it.
        auto *display = desk.form->findChild<SimulatorWindow *>();
        QVERIFY(display && !display->isVisible());
        desk.form->showFitted();
        QTRY_VERIFY(display->isVisible());
        QCOMPARE(desk.module()->model().displayModel(), 2);
        QVERIFY(WindowPlacement::onOneScreen(desk.form->frameGeometry()));
        desk.click("DockButton", display);
        QCOMPARE(display->window(), desk.form.get());
        desk.form->close();
        // The settings file keeps its layout; the places go to a file of their
        // own, which brings the display back docked below.
        QCOMPARE(fileBytes(desk.configPath()), QByteArray("zSimulator\r\n3012"));
    }
    Desk desk({}, windowState);
    desk.form->showFitted();
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
    desk.form->showFitted();
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
    // What the simulated module shows of the same commands.
    QTRY_COMPARE(shadow->model().textRows(), kGlassAfterSequence);
    QVERIFY(desk.prompt.messages().isEmpty());
#else
    QSKIP("Needs a pseudo-terminal.");
#endif
}

void TestSimulatorEndToEnd::userLeavesAStalledWrite_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("button"); // "close": the main window's close box
    const auto row = [](const char *work, const char *button) {
        QTest::addRow("%s, %s", work, button) << QString(work) << QString(button);
    };
    row("command", "OfflineButton");
    row("command", "close");
    row("playback", "OfflineButton");
    row("playback", "StopCommandButton");
}

void TestSimulatorEndToEnd::userLeavesAStalledWrite()
{
    QFETCH(QString, work);
    QFETCH(QString, button);
    const bool staysOnline = button == u"StopCommandButton";
    Desk desk("zSimulator\r\n3211"); // online at 115200 baud with CTS flow control
    desk.session.serialLine.setTimeouts(SerialLine::kReadTimeoutMs, kWritePerByteMs);
    SimulatedModule *module = desk.module();
    QVERIFY(module);
    desk.find<QSlider>("WaitSlider")->setValue(kWaitSteps);
    desk.click("WaitCommandButton");
    QTRY_VERIFY(module->line().moduleBusy());

    QTimer::singleShot(kUserActsAfterMs, desk.form.get(), [&desk, button] {
        if (button == u"close")
            desk.form->close();
        else
            desk.click(button);
    });
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

    // Left at once (the window ran meanwhile, or the click could not have
    // come), without a port error.
    QVERIFY2(ms < 17 * kWritePerByteMs - 500, qPrintable(QString::number(ms)));
    QCOMPARE(desk.prompt.messages(), QStringList());
    QCOMPARE(desk.session.connection.isOnline(), staysOnline);
    QCOMPARE(desk.enabledControls(), staysOnline ? QStringLiteral("OfflineButton") : kAllEnabled);
    if (button == u"close") { // saved as online, for the next start
        QCOMPARE(fileBytes(desk.configPath()), QByteArray("zSimulator\r\n3211"));
        return;
    }

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
