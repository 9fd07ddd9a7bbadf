// The main window over a scripted line: what it shows of the settings file and
// writes back, the connection group, the cursor picker, and how it sits on screen.

#include "gui/commandpanel/directcommandpanel.h"
#include "gui/common/windowplacement.h"
#include "gui/mainwindow/cursorpicker.h"
#include "mainwindowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QWheelEvent>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startupShowsTheFileAndClosingWritesIt_data();
    void startupShowsTheFileAndClosingWritesIt();
    void connectionStates_data();
    void connectionStates();
    void controlsChooseTheLine();
    void panelResetRestoresTheCaption_data();
    void panelResetRestoresTheCaption();
    void tabAndWheelFollowTheFocus();
    void placeRestoredOnlyWhollyOnAScreen_data();
    void placeRestoredOnlyWhollyOnAScreen();
    void commandPanelFitsItsWidth();
};

void TestMainWindow::startupShowsTheFileAndClosingWritesIt_data()
{
    QTest::addColumn<QByteArray>("config"); // empty: no file
    QTest::addColumn<QString>("shown");     // ComSel, BPS, Check1, DisplayList
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("before"); // what happens before the close: a typed port, or trouble
    QTest::addColumn<QString>("told");   // while closing
    QTest::addColumn<QByteArray>("after");
    const QByteArray path("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0");
    const auto row = [](const char *name, const QByteArray &config, const QString &shown,
                        bool online, const char *before, const char *told, const char *after) {
        QTest::newRow(name) << config << shown << online << QString::fromLatin1(before)
                            << QString::fromLatin1(told) << QByteArray(after);
    };
    const QByteArray com3("zCOM3\r\n3212");
    const QByteArray com2("zCOM2\r\n0011");
    const QString com3Shown = QStringLiteral("COM3|115200|CTS|Panel-24C 6x24");
    const QString com2Shown = QStringLiteral("COM2|9600|off|Panel-24B 4x24");
    row("no file", "", "COM1|38400|off|Panel-24B 4x24", false, "", "", "zCOM1\r\n2001");
    row("typed COM20 replaces a longer file", "z" + path + "\r\n0003",
        QString::fromLatin1(path + "|9600|off|Panel-20X  2x20"), false, "COM20", "",
        "zCOM20\r\n0003");
    // Going online fails: told so, the start completes, and the next start stays offline.
    row("port refused", com3, com3Shown, false, "", "", "zCOM3\r\n3202");
    // Closed while something is wrong, the window ends at once all the same.
    row("settings folder gone", com2, com2Shown, true, "folder gone", "Config_QV_demo.dat",
        "<missing>");
    // The next start does not bring the lost port back.
    row("port error box open", com2, com2Shown, true, "port error", "COM port error",
        "zCOM2\r\n0001");
    // The module never answers; nothing is said of the port the window closed.
    row("reply awaited", com2, com2Shown, true, "reply awaited", "", "zCOM2\r\n0011");
}

void TestMainWindow::startupShowsTheFileAndClosingWritesIt()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, before);
    QFETCH(QString, told);
    Window w;
    w.p.line->failOpen = QByteArray(QTest::currentDataTag()) == "port refused";
    w.start(config);
    QTEST(QStringList({w.find<QComboBox>("ComSel")->currentText(),
                       w.find<QComboBox>("BPS")->currentText(),
                       w.find<QCheckBox>("Check1")->isChecked() ? "CTS" : "off",
                       w.find<QComboBox>("DisplayList")->currentText()})
              .join(u'|'),
          "shown");
    QCOMPARE(w.told().startsWith(u"COM port cannot be opened\n"), w.p.line->failOpen);
    QTEST(w.p.line->isOpen, "online");
    // Going online again is all the start does with the port: not one byte goes out.
    QVERIFY(w.p.line->written.isEmpty());
    QCOMPARE(w.savedBytes(), config); // a missing file is created empty

    w.form->show();
    w.p.prompt.clear();
    QSignalSpy closed(w.form.get(), &MainWindow::closed);
    if (before == u"reply awaited") {
        w.p.serialLine.setEventPump([&] {
            if (w.p.line->written.endsWith(QByteArray::fromHex("1f28654002")) && closed.isEmpty())
                w.form->close();
            QCoreApplication::processEvents();
        });
        w.p.prompt.answerYesNo(true);
        w.click("TxdMod_1");
        w.click("InfoTrs_0");
    } else if (before == u"port error") {
        w.p.prompt.onMessage([&w](const QString &) { w.form->close(); });
        w.p.line->accept.enqueue(-1);
        w.clickPosition(3);
    } else {
        if (before == u"folder gone")
            QVERIFY(w.dir.remove());
        else if (!before.isEmpty())
            w.find<QComboBox>("ComSel")->setEditText(before);
        w.form->close();
    }
    QCOMPARE(closed.size(), 1);
    QVERIFY(!w.p.line->isOpen);
    QVERIFY2(w.p.prompt.messages().join(u'|').contains(told), qPrintable(w.told()));
    QCOMPARE(w.p.prompt.messages().size(), told.isEmpty() ? 0 : 1);
    QTEST(w.savedBytes(), "after");
}

void TestMainWindow::connectionStates_data()
{
    QTest::addColumn<bool>("startOnline");
    QTest::addColumn<QString>("action"); // a button clicked, or what goes wrong on the line
    QTest::addColumn<QString>("told");
    const auto row = [](const char *name, bool startOnline, const char *action, const char *told) {
        QTest::newRow(name) << startOnline << QString::fromLatin1(action)
                            << QString::fromLatin1(told);
    };
    row("offline, Online", false, "OnlineButton", "");
    row("online, Offline", true, "OfflineButton", "");
    row("port held by another program", false, "busy",
        "COM port cannot be opened\nCOM1 (/dev/ttyS0): fake open failure");
    row("write fails mid-command", true, "write fails", "COM port error");
    row("adapter pulled out while idle", true, "vanish", "COM port error");
}

void TestMainWindow::connectionStates()
{
    QFETCH(bool, startOnline);
    QFETCH(QString, action);
    Window w;
    w.start(startOnline ? "zCOM1\r\n2010" : "");
    w.p.line->busy = action == u"busy";
    if (action == u"write fails")
        w.p.line->accept.enqueue(-1);
    if (action == u"vanish")
        qobject_cast<FakeSerialDevice *>(w.p.serialLine.device())->vanish();
    else
        w.click(action == u"busy" ? "OnlineButton" : action == u"write fails" ? "Pos_3" : action);

    QTEST(w.told(), "told");
    const bool online = action == u"OnlineButton";
    QCOMPARE(w.p.line->isOpen, online);
    // Every way offline leaves exactly the state the Offline button leaves.
    QCOMPARE(w.find<QStackedWidget>("OnOffLineInd")->currentIndex(), online ? 1 : 0);
    QCOMPARE(w.enabledControls(), online ? QStringLiteral("OfflineButton") : kAllEnabled);
    QVERIFY(w.form->isEnabled());
}

// A port of the machine's own, listed after COM1..COM16, BPS and Check1:
// the line Online opens; and the display model.
void TestMainWindow::controlsChooseTheLine()
{
    Window w;
    w.ports = {{QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART")}};
    w.start();
    w.find<QComboBox>("ComSel")->setCurrentIndex(16);

    auto *bps = w.find<QComboBox>("BPS");
    bps->setFocus();
    QTest::keyClick(bps, Qt::Key_Down); // 38400 -> 115200, chosen by the user
    QTest::mouseClick(w.find("Check1"), Qt::LeftButton);
    w.click("OnlineButton");
    QVERIFY2(w.p.line->openedPath.endsWith(u"ttyUSB0"), qPrintable(w.p.line->openedPath));
    QCOMPARE(w.p.line->settings.baudRate, 115200);
    QCOMPARE(w.p.line->settings.flowControl, FlowControl::CtsHandshake);
    // A model adapts the picker and the brightness list, and sends nothing.
    w.find<QComboBox>("DisplayList")->setCurrentIndex(3);
    QCOMPARE(w.state.displayModel(), 3);
    QVERIFY(!w.find("Pos_43")->isHidden() && w.find("Pos_44")->isHidden());
    // The box shows the state, whoever sets it; and Serial OUT locks it.
    w.state.setFlowControl(FlowControl::None);
    QVERIFY(!w.find<QCheckBox>("Check1")->isChecked());
    w.click("OfflineButton");
    w.p.connection.setSerialOutRunning(true);
    QCOMPARE(w.enabledControls(), QStringLiteral("OnlineButton ComSel BPS OfflineButton"));
}

void TestMainWindow::panelResetRestoresTheCaption_data()
{
    QTest::addColumn<QString>("button"); // what each sends is the command panel's test
    QTest::newRow("Initialize") << "ModInit";
    QTest::newRow("Reset") << "ModReset";
}

// Hovers and clicks on the 6x24 grid reach the picker's model. The panel's
// Initialize or Reset marks the home position again, and a later hover
// builds on it, not on the last click.
void TestMainWindow::panelResetRestoresTheCaption()
{
    QFETCH(QString, button);
    Window w;
    w.start("zCOM1\r\n2012"); // online, 6x24
    w.clickPosition(143);
    QCOMPARE(w.find<PickerButton>("Pos_143")->colour(), QColor(0x00, 0xFF, 0x00));

    w.click(button);
    QCOMPARE(w.find<PickerButton>("Pos_0")->colour(), QColor(0x80, 0xFF, 0x80));
    QCOMPARE(w.find<PickerButton>("Pos_143")->colour(), QColor(0x40, 0x40, 0x40));
    QMouseEvent hover(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w.find("Pos_25"), &hover);
    QCOMPARE(w.find<QGroupBox>("Frame7")->title(),
             QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));
}

// Tab walks the panels as they stand; a wheel notch changes only a control
// the user gave focus.
void TestMainWindow::tabAndWheelFollowTheFocus()
{
    Window w;
    w.start();
    w.form->show();
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    // One control of each panel, column by column as they stand, then the right column.
    const QStringList landmarks =
        QStringLiteral("TabStrip1 TxtChr Ctrl_0 CharBright ModInit FontCommandButton_0 "
                       "FontCode_Combo BlkCnt_Combo WaitSlider Pos_0 ComSel OnlineButton "
                       "RecCommandButton TrHistory")
            .split(u' ');
    w.find(landmarks.first())->setFocus();
    QStringList visited;
    for (int i = 0; i < 400 && visited.size() < landmarks.size(); ++i) {
        const QString name = QApplication::focusWidget()->objectName();
        if (landmarks.contains(name) && !visited.contains(name))
            visited << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, landmarks);

    QVERIFY(w.p.goOnline());
    auto *list = w.find<QComboBox>("ScreensaverList");
    // A wheel that hands out focus would let its own first notch through.
    QVERIFY(list->focusPolicy() != Qt::WheelFocus);
    const auto notch = [list] {
        const QPointF at = list->rect().center();
        QWheelEvent event(at, list->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &event);
        return list->currentIndex();
    };
    w.find("TxtChr")->setFocus();
    const int before = list->currentIndex();
    QCOMPARE(notch(), before);
    QVERIFY(w.p.line->written.isEmpty());
    list->setFocus();
    QVERIFY(notch() != before);
    QVERIFY(!w.p.line->written.isEmpty());
}

void TestMainWindow::placeRestoredOnlyWhollyOnAScreen_data()
{
    QTest::addColumn<QPoint>("offset"); // from the screen's free area's top left
    QTest::addColumn<bool>("restored");
    QTest::newRow("on the screen") << QPoint(20, 40) << true;
    QTest::newRow("across its right edge") << QPoint(-100, 40) << false; // from the right
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
    QTEST(WindowPlacement::restore(&next, saved) && next.geometry() == left.geometry(), "restored");
}

// 1600 x 1000 at 150 %: the font group goes below the first two columns.
void TestMainWindow::commandPanelFitsItsWidth()
{
    Window w;
    w.start();
    w.form->resize(1067, 667);
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    QWidget *panel = w.form->directCommandPanel();
    QWidget *scroll = panel;
    while (!qobject_cast<QScrollArea *>(scroll))
        scroll = scroll->parentWidget();
    QTRY_VERIFY(!static_cast<QScrollArea *>(scroll)->horizontalScrollBar()->isVisible());
    const QWidget *font = w.find("DlFontDefineFrame");
    QVERIFY(font->mapTo(panel, QPoint()).y() >
            w.find("ModInit")->mapTo(panel, QPoint(0, 0)).y() + w.find("ModInit")->height());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
