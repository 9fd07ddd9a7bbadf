// The main window over a scripted line: what it shows of the settings file and
// writes back, the connection group, and the cursor picker.

#include "gui/commandpanel/directcommandpanel.h"
#include "gui/common/monitorview.h"
#include "gui/common/windowplacement.h"
#include "gui/common/zeptaicon.h"
#include "gui/mainwindow/cursorpicker.h"
#include "gui/mainwindow/portcombobox.h"
#include "mainwindowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QWheelEvent>

namespace {

const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kDarkGrey(0x40, 0x40, 0x40);

void hover(const Window &w, int position)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w.find(QStringLiteral("Pos_%1").arg(position)), &move);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void fixedPitchMonitor();
    void startupShowsTheFileAndClosingWritesIt_data();
    void startupShowsTheFileAndClosingWritesIt();
    void closingWhenTheFileCannotBeWritten();
    void closingDuringThePortErrorSavesOffline();
    void connectionStates_data();
    void connectionStates();
    void controlsChooseTheLine();
    void ctsLockedWhileSerialOutRuns();
    void portListOffersTheMachinesPorts();
    void pickerSendsCursorSet();
    void panelResetRestoresTheCaption_data();
    void panelResetRestoresTheCaption();
    void modelChanges();
    void aboutTellsTheVersionAndTheIconIsThere();
    void tabFollowsThePanelsOnScreen();
    void placeRestoredOnlyWhollyOnAScreen_data();
    void placeRestoredOnlyWhollyOnAScreen();
    void wheelChangesOnlyAFocusedControl_data();
    void wheelChangesOnlyAFocusedControl();
    void commandPanelFitsItsWidth_data();
    void commandPanelFitsItsWidth();
};

void TestMainWindow::fixedPitchMonitor()
{
    Window w;
    w.start();
    // Byte columns line up only in a fixed-pitch font.
    for (const char *name : {"sendCommandBox", "sendHelpBox", "SendTextBox", "TrHistory"}) {
        const QFontMetricsF metrics(w.find(name)->font());
        QVERIFY2(metrics.horizontalAdvance(u'i') == metrics.horizontalAdvance(u'W'), name);
    }
}

void TestMainWindow::startupShowsTheFileAndClosingWritesIt_data()
{
    QTest::addColumn<QByteArray>("config"); // empty: no file
    QTest::addColumn<QString>("shown");     // ComSel text and index, BPS, Check1, DisplayList
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("typedPort"); // before closing
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("failOpen");
    const auto row = [](const char *name, const QByteArray &config, const QString &shown,
                        bool online, const QByteArray &after, const char *typed = "",
                        bool failOpen = false) {
        QTest::newRow(name) << config << shown << online << QString::fromLatin1(typed) << after
                            << failOpen;
    };
    const QByteArray path("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0");
    const QByteArray longFile = "z" + path + "\r\n0003";
    const QString longShown = QString::fromLatin1(path + "|-1|9600|off|Panel-20X  2x20");

    // How the file reads is the settings file's own test; here what the window
    // shows and does with it, and what closing writes.
    row("no file", "", "COM1|0|38400|off|Panel-24B 4x24", false, "zCOM1\r\n2001");
    row("online COM3 115200 CTS 6x24", "zCOM3\r\n3212", "COM3|-1|115200|CTS|Panel-24C 6x24", true,
        "zCOM3\r\n3212");
    row("typed COM20 replaces a longer file", longFile, longShown, false, "zCOM20\r\n0003",
        "COM20");
    row("going online fails, the start completes", "zCOM3\r\n3212",
        "COM3|-1|115200|CTS|Panel-24C 6x24", false, "zCOM3\r\n3202", "", true);
}

void TestMainWindow::startupShowsTheFileAndClosingWritesIt()
{
    QFETCH(QByteArray, config);
    QFETCH(bool, online);
    QFETCH(QString, typedPort);
    QFETCH(bool, failOpen);

    Window w;
    w.p.line->failOpen = failOpen;
    w.start(config);
    auto *comSel = w.find<QComboBox>("ComSel");
    const QString bps = w.find<QComboBox>("BPS")->currentText();
    const bool cts = w.find<QCheckBox>("Check1")->isChecked();
    const auto *displayList = w.find<QComboBox>("DisplayList");
    QTEST(QStringList({comSel->currentText(), QString::number(comSel->currentIndex()), bps,
                       cts ? "CTS" : "off", displayList->currentText()})
              .join(u'|'),
          "shown");
    QCOMPARE(w.find("Pos_143")->isHidden(), displayList->currentIndex() != 2);
    // The second line, the port and the reason, is the port tests' to check.
    const QString told = failOpen ? QStringLiteral("COM port cannot be opened") : QString();
    QCOMPARE(w.told().section(u'\n', 0, 0), told);

    QCOMPARE(w.form->isOnline(), online);
    QCOMPARE(w.p.line->isOpen, online);
    QCOMPARE(w.indicatorInFront(), online ? 1 : 0);
    QCOMPARE(w.enabledControls(), online ? QStringLiteral("OfflineButton") : kAllEnabled);
    if (online) {
        QCOMPARE(w.p.line->settings.baudRate, bps.toInt());
        QCOMPARE(w.p.line->settings.flowControl == FlowControl::CtsHandshake, cts);
    }
    // Going online again is all the start does with the port: not one byte goes out.
    QVERIFY(w.p.line->written.isEmpty());
    QVERIFY(w.p.monitor.history().isEmpty());
    QCOMPARE(w.savedBytes(), config); // a missing file is created empty

    if (!typedPort.isEmpty())
        comSel->setEditText(typedPort);
    QSignalSpy closed(w.form.get(), &MainWindow::closed);
    w.form->show();
    QVERIFY(w.form->close());
    QCOMPARE(closed.size(), 1);
    QTEST(w.savedBytes(), "after");
    QVERIFY(!w.p.line->isOpen);
    QCOMPARE(w.told().section(u'\n', 0, 0), told);
}

void TestMainWindow::closingWhenTheFileCannotBeWritten()
{
    Window w;
    w.start("zCOM2\r\n0011");
    QVERIFY(w.dir.remove()); // the folder went away while the program ran
    QSignalSpy closed(w.form.get(), &MainWindow::closed);
    w.form->show();
    QVERIFY(w.form->close());
    QCOMPARE(closed.size(), 1); // the program still ends
    QVERIFY(!w.p.line->isOpen);
    QCOMPARE(w.p.prompt.asked().size(), 1);
    QVERIFY2(w.told().contains(QStringLiteral("Config_QV_demo.dat")), qPrintable(w.told()));
}

void TestMainWindow::closingDuringThePortErrorSavesOffline()
{
    Window w;
    w.start("zCOM2\r\n0011"); // online
    w.form->show();
    QSignalSpy closed(w.form.get(), &MainWindow::closed);
    // The window is closed while "COM port error" waits for its OK.
    w.p.prompt.onMessage([&w](const QString &text) {
        if (text == QLatin1String("COM port error"))
            w.form->close();
    });
    w.p.line->accept.enqueue(-1);
    w.clickPosition(3);
    QCOMPARE(closed.size(), 1);
    QCOMPARE(w.told(), QStringLiteral("COM port error"));
    // The next start does not bring the lost port back.
    QCOMPARE(w.savedBytes(), QByteArray("zCOM2\r\n0001"));
    QVERIFY(!w.p.line->isOpen);
}

void TestMainWindow::connectionStates_data()
{
    QTest::addColumn<QByteArray>("config"); // empty: start offline
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("click");
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("online");

    const auto row = [](const char *name, const QByteArray &config, const char *fault,
                        const char *click, const char *told, bool online) {
        QTest::newRow(name) << config << QString::fromLatin1(fault) << QString::fromLatin1(click)
                            << QString::fromLatin1(told) << online;
    };
    const QByteArray online("zCOM1\r\n2010");
    row("offline, Online", "", "", "OnlineButton", "", true);
    row("offline, Offline", "", "", "OfflineButton", "", false);
    row("online, Offline", online, "", "OfflineButton", "", false);
    row("port held by another program", "", "busy", "OnlineButton",
        "COM port cannot be opened\nCOM1 (/dev/ttyS0): fake open failure", false);
    row("write fails mid-command", online, "write fails", "Pos_3", "COM port error", false);
    row("adapter pulled out while idle", online, "vanish", "", "COM port error", false);
}

void TestMainWindow::connectionStates()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, fault);
    QFETCH(QString, click);
    QFETCH(QString, told);
    QFETCH(bool, online);

    Window w;
    w.start(config);
    QCOMPARE(w.form->isOnline(), !config.isEmpty());
    w.p.line->busy = fault == QLatin1String("busy");
    if (fault == QLatin1String("write fails"))
        w.p.line->accept.enqueue(-1);
    if (fault == QLatin1String("vanish"))
        qobject_cast<FakeSerialDevice *>(w.p.serialLine.device())->vanish();
    if (!click.isEmpty())
        w.click(click);

    QCOMPARE(w.told(), told);
    QCOMPARE(w.form->isOnline(), online);
    QCOMPARE(w.p.line->isOpen, online);
    // Every way offline leaves exactly the state the Offline button leaves.
    QCOMPARE(w.indicatorInFront(), online ? 1 : 0);
    QCOMPARE(w.enabledControls(), online ? QStringLiteral("OfflineButton") : kAllEnabled);
    QVERIFY(w.form->isEnabled());
    if (click.startsWith(QLatin1String("Pos_"))) // the monitor still shows the failed command
        QCOMPARE(w.p.monitor.commandName(), QStringLiteral("Cursor set(3,0)"));
}

void TestMainWindow::controlsChooseTheLine()
{
    Window w;
    w.start();
    auto *bps = w.find<QComboBox>("BPS");
    bps->setFocus();
    QTest::keyClick(bps, Qt::Key_Down); // 38400 -> 115200, chosen by the user
    QCOMPARE(w.state.baudRate(), 115200);
    auto *check1 = w.find<QCheckBox>("Check1");
    QTest::mouseClick(check1, Qt::LeftButton);
    QCOMPARE(w.state.flowControl(), FlowControl::CtsHandshake);
    QTest::mouseClick(check1, Qt::LeftButton);
    QCOMPARE(w.state.flowControl(), FlowControl::None);
    w.state.setFlowControl(FlowControl::CtsHandshake); // the box shows the state, whoever sets it
    QVERIFY(check1->isChecked());

    w.find<QComboBox>("ComSel")->setCurrentIndex(2);
    w.click("OnlineButton");
    QVERIFY2(w.p.line->openedPath.endsWith(QStringLiteral("COM3")) ||
                 w.p.line->openedPath == QStringLiteral("/dev/ttyS2"),
             qPrintable(w.p.line->openedPath));
    QCOMPARE(w.p.line->settings.baudRate, 115200);
    QCOMPARE(w.p.line->settings.flowControl, FlowControl::CtsHandshake);
}

void TestMainWindow::ctsLockedWhileSerialOutRuns()
{
    Window w;
    w.start();
    w.p.connection.setSerialOutRunning(true);
    QCOMPARE(w.enabledControls(), QStringLiteral("OnlineButton ComSel BPS OfflineButton"));
    w.p.connection.setSerialOutRunning(false);
    QCOMPARE(w.enabledControls(), kAllEnabled);
}

void TestMainWindow::portListOffersTheMachinesPorts()
{
    Window w;
    w.ports = {{QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART")}};
    w.start();
    auto *comSel = w.find<PortComboBox>("ComSel");
    QCOMPARE(comSel->count(), 18);
    QCOMPARE(comSel->itemText(15), QStringLiteral("COM16"));
    QCOMPARE(comSel->itemText(16), QStringLiteral("ttyUSB0"));
    QVERIFY(comSel->itemData(16, Qt::ToolTipRole).toString().startsWith(u"FT232R USB UART"));
    QCOMPARE(comSel->itemText(17), QStringLiteral("Simulator")); // after the real ports

    comSel->setEditText(QStringLiteral("COM20"));
    w.ports.append({QStringLiteral("ttyACM0"), QString()});
    comSel->refreshPorts(); // as when the list is opened
    QCOMPARE(comSel->itemText(17), QStringLiteral("ttyACM0"));
    QCOMPARE(comSel->itemText(18), QStringLiteral("Simulator"));
    QCOMPARE(comSel->currentText(), QStringLiteral("COM20"));
    QTest::keyClick(comSel->lineEdit(), Qt::Key_Return); // a typed name is never added
    QCOMPARE(comSel->count(), 19);
    QCOMPARE(comSel->currentText(), QStringLiteral("COM20"));

    comSel->setCurrentIndex(16);
    comSel->refreshPorts();
    QCOMPARE(comSel->currentIndex(), 16);
    QCOMPARE(comSel->currentText(), QStringLiteral("ttyUSB0"));
}

// Hovers and clicks on the 6x24 grid: the command with its texts, the caption,
// the one green position, and the history with a line per command.
void TestMainWindow::pickerSendsCursorSet()
{
    Window w;
    w.start("zCOM1\r\n2012"); // online, 6x24
    w.p.logBoard.setRecording(true);
    auto *frame = w.find<QGroupBox>("Frame7");
    hover(w, 25);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));
    hover(w, 143); // replaces the read-out instead of adding a second one
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 17h, y = 05h"));

    w.clickPosition(143);
    QCOMPARE(w.p.line->written, QByteArray::fromHex("1f2417000500"));
    const QString title = QStringLiteral("Cursor set(23,5)");
    QCOMPARE(w.find<MonitorView>("sendCommandBox")->toPlainText(), title);
    QCOMPARE(w.find<MonitorView>("sendHelpBox")->toPlainText(),
             QStringLiteral("-OpCode- xL   0  yL   0  (xL:CursorX)(yL:CursorY"));
    QCOMPARE(w.find<MonitorView>("SendTextBox")->toPlainText(), w.p.monitor.codes());
    QVERIFY(w.p.logBoard.text().startsWith("*** " + title + " ***"));
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 17h,  y = 05h )"));
    for (int i = 0; i < 144; ++i)
        QCOMPARE(w.find<PickerButton>(QStringLiteral("Pos_%1").arg(i))->colour(),
                 i == 143 ? kGreen : kDarkGrey);
    w.clickPosition(106);
    hover(w, 1);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 0Ah,  y = 04h )  x = 01h, y = 00h"));
    w.clickPosition(0);

    QCOMPARE(w.find<MonitorView>("TrHistory")->toPlainText(),
             QStringLiteral("[T]1F 24 17 00 05 00 \n[T]1F 24 0A 00 04 00 \n[T]1F 24 00 00 00 00 "));
    QCOMPARE(w.told(), QString());
}

void TestMainWindow::panelResetRestoresTheCaption_data()
{
    QTest::addColumn<QString>("button"); // what each sends is the command panel's test
    QTest::newRow("Initialize") << "ModInit";
    QTest::newRow("Reset") << "ModReset";
}

void TestMainWindow::panelResetRestoresTheCaption()
{
    QFETCH(QString, button);
    Window w;
    w.start("zCOM1\r\n2012"); // online, 6x24
    auto *frame = w.find<QGroupBox>("Frame7");
    w.clickPosition(143);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 17h,  y = 05h )"));
    w.click(button);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )"));
    QCOMPARE(w.find<PickerButton>("Pos_0")->colour(), QColor(0x80, 0xFF, 0x80));
    QCOMPARE(w.find<PickerButton>("Pos_143")->colour(), kDarkGrey);
    // A hover read-out now follows the home position, not the last click.
    hover(w, 25);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));
}

void TestMainWindow::modelChanges()
{
    Window w;
    w.start("zCOM1\r\n2011"); // online
    w.p.logBoard.setRecording(true);
    auto *list = w.find<QComboBox>("DisplayList");
    auto *lum = w.find<QComboBox>("LumList");
    const auto hidden = [&w](int i) { return w.find(QStringLiteral("Pos_%1").arg(i))->isHidden(); };
    const auto offered = [&hidden] {
        int count = 0;
        for (int i = 0; i < 144; ++i)
            count += hidden(i) ? 0 : 1;
        return count;
    };

    list->setCurrentIndex(3);
    QCOMPARE(w.state.displayModel(), 3);
    QCOMPARE(offered(), 40);
    QVERIFY(!hidden(43) && hidden(20) && hidden(44));
    QCOMPARE(lum->count(), 16); // the levels themselves are the panel's test
    lum->setCurrentIndex(12);   // "325%": issues its command, so count from here
    const QByteArray sentBefore = w.p.line->written;
    const QString logBefore = w.p.logBoard.text();

    list->setCurrentIndex(2);
    QCOMPARE(w.state.displayModel(), 2);
    QCOMPARE(offered(), 144);
    QCOMPARE(lum->count(), 8);
    list->setCurrentIndex(0);
    QCOMPARE(offered(), 40);
    QVERIFY(!hidden(19) && !hidden(24) && hidden(20) && hidden(48));
    list->setCurrentIndex(1);
    QCOMPARE(offered(), 96);
    QVERIFY(!hidden(23) && !hidden(95) && hidden(96));
    // Choosing a model only adapts the window.
    QCOMPARE(w.p.line->written, sentBefore);
    QCOMPARE(w.p.logBoard.text(), logBefore);
}

void TestMainWindow::aboutTellsTheVersionAndTheIconIsThere()
{
    QCoreApplication::setApplicationVersion(QStringLiteral("7.42"));
    Window w;
    w.start();
    w.click("AboutButton");
    QCOMPARE(w.p.prompt.asked().size(), 1);
    QCOMPARE(w.p.prompt.asked().constFirst().title, QStringLiteral("About Zepta"));
    QVERIFY(w.told().startsWith(QStringLiteral("Zepta 7.42\n")));
    QVERIFY(w.told().contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    // The windows' icon is linked in, from the smallest size to the largest.
    const QList<QSize> sizes = zeptaIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
}

void TestMainWindow::tabFollowsThePanelsOnScreen()
{
    Window w;
    w.start();
    w.form->show();
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    // One control of each panel, column by column as they stand, then the right column.
    const QStringList landmarks = {"TabStrip1",        "TxtChr",
                                   "Ctrl_0",           "CharBright",
                                   "ModInit",          "FontCommandButton_0",
                                   "FontCode_Combo",   "BlkCnt_Combo",
                                   "WaitSlider",       "Pos_0",
                                   "ComSel",           "OnlineButton",
                                   "RecCommandButton", "TrHistory"};
    w.find(landmarks.first())->setFocus();
    QStringList visited;
    for (int i = 0; i < 400 && visited.size() < landmarks.size(); ++i) {
        const QString name = QApplication::focusWidget()->objectName();
        if (landmarks.contains(name) && !visited.contains(name))
            visited << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, landmarks);
}

void TestMainWindow::placeRestoredOnlyWhollyOnAScreen_data()
{
    QTest::addColumn<QPoint>("offset"); // from the screen's free area's top left
    QTest::addColumn<bool>("restored");
    QTest::newRow("on the screen") << QPoint(20, 40) << true;
    QTest::newRow("across its right edge") << QPoint(-100, 40) << false; // from the right
    QTest::newRow("above it") << QPoint(20, -20) << false;
    QTest::newRow("on a monitor gone since") << QPoint(5000, 40) << false;
}

void TestMainWindow::placeRestoredOnlyWhollyOnAScreen()
{
    QFETCH(QPoint, offset);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint from = offset.x() < 0 ? screen.topRight() : screen.topLeft();
    QWidget left;
    left.setGeometry(QRect(from + offset, QSize(200, 100)));
    const QByteArray saved = left.saveGeometry();
    QWidget next;
    next.setGeometry(screen.left() + 10, screen.top() + 10, 50, 50);
    QTEST(WindowPlacement::restore(&next, saved), "restored");
    QTEST(next.geometry() == left.geometry(), "restored");
}

void TestMainWindow::wheelChangesOnlyAFocusedControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("focused");
    QTest::newRow("list") << "ScreensaverList" << false;
    QTest::newRow("slider") << "WaitSlider" << false;
    QTest::newRow("tab bar") << "TabStrip1" << false;
    QTest::newRow("focused list") << "ScreensaverList" << true;
}

void TestMainWindow::wheelChangesOnlyAFocusedControl()
{
    QFETCH(QString, control);
    QFETCH(bool, focused);
    Window w;
    w.start();
    QVERIFY(w.p.goOnline());
    w.form->show();
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    QWidget *target = w.find(control);
    (focused ? target : w.find("TxtChr"))->setFocus();
    const char *value = qobject_cast<QSlider *>(target) ? "value" : "currentIndex";
    const int before = target->property(value).toInt();
    // A wheel that hands out focus would let its own first notch through.
    QVERIFY(target->focusPolicy() != Qt::WheelFocus);
    const QPointF at = target->rect().center();
    QWheelEvent notch(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &notch);
    QCOMPARE(target->property(value).toInt() != before, focused);
    QCOMPARE(!w.p.line->written.isEmpty(), focused);
}

void TestMainWindow::commandPanelFitsItsWidth_data()
{
    QTest::addColumn<QSize>("size"); // logical pixels
    QTest::addColumn<bool>("fontBesideSettings");
    // 1600 x 1000 at 150 %, and a 1366 x 768 laptop at 100 %.
    QTest::newRow("narrow") << QSize(1067, 667) << false;
    QTest::newRow("normal") << QSize(1366, 768) << true;
}

void TestMainWindow::commandPanelFitsItsWidth()
{
    QFETCH(QSize, size);
    QFETCH(bool, fontBesideSettings);
    Window w;
    w.start();
    w.form->resize(size);
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    QWidget *panel = w.form->directCommandPanel();
    QWidget *scroll = panel;
    while (!qobject_cast<QScrollArea *>(scroll))
        scroll = scroll->parentWidget();
    const auto placed = [&](const char *name) {
        const QWidget *widget = w.find(name);
        return QRect(widget->mapTo(panel, QPoint()), widget->size());
    };
    QTRY_VERIFY(!static_cast<QScrollArea *>(scroll)->horizontalScrollBar()->isVisible());
    const QRect font = placed("DlFontDefineFrame");
    QCOMPARE(font.left() > placed("CharBright").right(), fontBesideSettings);
    QCOMPARE(font.top() > placed("ModInit").bottom(), !fontBesideSettings);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
