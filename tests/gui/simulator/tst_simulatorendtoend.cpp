// Zepta's main window and the simulated module, end to end: online on
// "Simulator" in the same process. zepta-sim on a pseudo-terminal is its own
// program's test.

#include "../mainwindow/systemwindow.h"
#include "core/module/shadowmodule.h"
#include "core/module/simulatordevice.h"
#include "gui/common/windowplacement.h"
#include "gui/simulator/simulatorwindow.h"
#include "gui/simulator/simulatorwindowopener.h"
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

QTEST_MAIN(TestSimulatorEndToEnd)
#include "tst_simulatorendtoend.moc"
