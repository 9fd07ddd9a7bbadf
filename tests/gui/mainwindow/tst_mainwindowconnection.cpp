#include "gui/mainwindow/portcombobox.h"
#include "mainwindowfixture.h"

#include <QCheckBox>
#include <QLineEdit>

class TestMainWindowConnection : public QObject
{
    Q_OBJECT
private slots:
    void connectionStates_data();
    void connectionStates();
    void controlsChooseTheLine();
    void ctsLockedWhileSerialOutRuns();
    void portListOffersTheMachinesPorts();
};

void TestMainWindowConnection::connectionStates_data()
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
    row("port held by another program", "", "busy", "OnlineButton", "COM port cannot be opened",
        false);
    row("write fails mid-command", online, "write fails", "Pos_3", "COM port error", false);
    row("adapter pulled out, then a click", online, "vanish", "Pos_3", "COM port error", false);
}

void TestMainWindowConnection::connectionStates()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, fault);
    QFETCH(QString, click);
    QFETCH(QString, told);
    QFETCH(bool, online);

    Window w;
    w.start(config);
    QCOMPARE(w.form->comport_online(), !config.isEmpty());
    w.p.line->busy = fault == QLatin1String("busy");
    if (fault == QLatin1String("write fails"))
        w.p.line->accept.enqueue(-1);
    if (fault == QLatin1String("vanish"))
        qobject_cast<FakeSerialDevice *>(w.p.ports.device(Connection::kPort))->vanish();
    if (!click.isEmpty())
        w.click(click);

    QCOMPARE(w.told(), told);
    QCOMPARE(w.form->comport_online(), online);
    QCOMPARE(w.p.line->isOpen, online);
    // Every way offline leaves exactly the state the Offline button leaves.
    QCOMPARE(w.indicatorInFront(), online ? 1 : 0);
    QCOMPARE(w.enabledControls(), online ? QStringLiteral("OfflineButton") : kAllEnabled);
    QVERIFY(w.form->isEnabled());
    if (click.startsWith(QLatin1String("Pos_"))) // the monitor still shows the failed command
        QCOMPARE(w.p.monitor.commandName(), QStringLiteral("Cursor set(3,0)"));
}

void TestMainWindowConnection::controlsChooseTheLine()
{
    Window w;
    w.start();
    auto *bps = w.find<QComboBox>("BPS");
    bps->setFocus();
    QTest::keyClick(bps, Qt::Key_Down); // 38400 -> 115200, chosen by the user
    QCOMPARE(w.state.baudRate(), QStringLiteral("115200"));
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
    QVERIFY(w.p.line->settings.ctsFlowControl);
}

void TestMainWindowConnection::ctsLockedWhileSerialOutRuns()
{
    Window w;
    w.start();
    const QString locked = QStringLiteral("OnlineButton ComSel BPS OfflineButton");
    w.p.connection.setSerialOutRunning(true);
    QCOMPARE(w.enabledControls(), locked);
    w.click("OnlineButton");
    QCOMPARE(w.enabledControls(), QStringLiteral("OfflineButton"));
    w.click("OfflineButton");
    QCOMPARE(w.enabledControls(), locked);
    w.p.connection.setSerialOutRunning(false);
    QCOMPARE(w.enabledControls(), kAllEnabled);
}

void TestMainWindowConnection::portListOffersTheMachinesPorts()
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

QTEST_MAIN(TestMainWindowConnection)
#include "tst_mainwindowconnection.moc"
