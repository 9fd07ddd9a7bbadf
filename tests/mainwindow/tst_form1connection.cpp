#include "mainwindow/portcombobox.h"
#include "mainwindowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

class TestForm1Connection : public QObject
{
    Q_OBJECT
private slots:
    void connectionStates();
    void failedOpenLeavesOffline();
    void offlineWhileOffline();
    void portFailureDuringCommandGoesOffline();
    void portVanishingWhileIdleGoesOffline();
    void ctsLockedWhileSerialOutRuns();
    void settingsFollowTheControls();
    void portListOffersTheMachinesPorts();
};

void TestForm1Connection::connectionStates()
{
    Window w;
    w.start();
    QCOMPARE(w.enabledControls(), kAllEnabled);

    w.combo(QStringLiteral("ComSel"))->setCurrentIndex(2);
    w.combo(QStringLiteral("BPS"))->setCurrentIndex(3);
    QTest::mouseClick(w.widget(QStringLiteral("Check1")), Qt::LeftButton);
    QTest::mouseClick(w.button(QStringLiteral("OnlineButton")), Qt::LeftButton);
    QVERIFY(w.form->comport_online());
    QVERIFY(w.p.line->isOpen);
    QVERIFY(w.p.line->openedPath.endsWith(QStringLiteral("COM3")) ||
            w.p.line->openedPath == QStringLiteral("/dev/ttyS2"));
    QCOMPARE(w.p.line->settings.baudRate, 115200);
    QVERIFY(w.p.line->settings.ctsFlowControl);
    QCOMPARE(w.indicatorInFront(), 1);
    QCOMPARE(w.enabledControls(), QStringLiteral("OfflineButton"));

    QTest::mouseClick(w.button(QStringLiteral("OfflineButton")), Qt::LeftButton);
    QVERIFY(!w.form->comport_online());
    QVERIFY(!w.p.line->isOpen);
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.enabledControls(), kAllEnabled);
    QVERIFY(w.p.prompt.asked().isEmpty());
}

void TestForm1Connection::failedOpenLeavesOffline()
{
    Window w;
    w.start();
    w.p.line->busy = true; // another program holds the port
    QTest::mouseClick(w.button(QStringLiteral("OnlineButton")), Qt::LeftButton);
    QCOMPARE(w.p.prompt.messages(), QStringList{QStringLiteral("COM port cannot be opened")});
    QVERIFY(!w.form->comport_online());
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.enabledControls(), kAllEnabled);
}

void TestForm1Connection::offlineWhileOffline()
{
    Window w;
    w.start();
    QTest::mouseClick(w.button(QStringLiteral("OfflineButton")), Qt::LeftButton);
    QCOMPARE(w.p.line->opens, 0);
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.enabledControls(), kAllEnabled);
}

void TestForm1Connection::portFailureDuringCommandGoesOffline()
{
    Window w;
    w.start(QByteArray("zCOM1\r\n2010"));
    QVERIFY(w.form->comport_online());
    w.p.line->accept.enqueue(-1);
    w.clickPosition(3);
    QCOMPARE(w.p.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!w.form->comport_online());
    QVERIFY(!w.p.line->isOpen);
    // Exactly the state the Offline button leaves.
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.enabledControls(), kAllEnabled);
    QVERIFY(w.form->isEnabled());
    // The monitor still shows the command.
    QCOMPARE(w.p.monitor.commandName(), QStringLiteral("Cursor set(3,0)"));
}

void TestForm1Connection::portVanishingWhileIdleGoesOffline()
{
    Window w;
    w.start(QByteArray("zCOM1\r\n2010"));
    auto *device = qobject_cast<FakeSerialDevice *>(w.p.module.device(Connection::kPort));
    QVERIFY(device);
    device->vanish(); // adapter pulled out
    QCOMPARE(w.p.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!w.form->comport_online());
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.enabledControls(), kAllEnabled);
}

void TestForm1Connection::ctsLockedWhileSerialOutRuns()
{
    Window w;
    w.start();
    w.p.connection.setSerialOutRunning(true);
    QCOMPARE(w.enabledControls(), QStringLiteral("OnlineButton ComSel BPS OfflineButton"));
    QTest::mouseClick(w.button(QStringLiteral("OnlineButton")), Qt::LeftButton);
    QCOMPARE(w.enabledControls(), QStringLiteral("OfflineButton"));
    QTest::mouseClick(w.button(QStringLiteral("OfflineButton")), Qt::LeftButton);
    QCOMPARE(w.enabledControls(), QStringLiteral("OnlineButton ComSel BPS OfflineButton"));
    w.p.connection.setSerialOutRunning(false);
    QCOMPARE(w.enabledControls(), kAllEnabled);
}

void TestForm1Connection::settingsFollowTheControls()
{
    Window w;
    w.start();
    auto *bps = w.combo(QStringLiteral("BPS"));
    bps->setFocus();
    QTest::keyClick(bps, Qt::Key_Up); // 38400 -> 19200, chosen by the user
    QCOMPARE(bps->currentText(), QStringLiteral("19200"));
    QCOMPARE(w.p.state.baudRate(), QStringLiteral("19200"));

    auto *check1 = w.find<QCheckBox>(QStringLiteral("Check1"));
    QTest::mouseClick(check1, Qt::LeftButton);
    QCOMPARE(w.p.state.flowControl(), 2);
    QTest::mouseClick(check1, Qt::LeftButton);
    QCOMPARE(w.p.state.flowControl(), 0);
    w.p.state.setFlowControl(2);
    QVERIFY(check1->isChecked());
}

void TestForm1Connection::portListOffersTheMachinesPorts()
{
    Window w;
    w.ports = {{QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART")}};
    w.start();
    auto *comSel = w.find<PortComboBox>(QStringLiteral("ComSel"));
    QCOMPARE(comSel->count(), 17);
    QCOMPARE(comSel->itemText(15), QStringLiteral("COM16"));
    QCOMPARE(comSel->itemText(16), QStringLiteral("ttyUSB0"));
    QVERIFY(comSel->itemData(16, Qt::ToolTipRole)
                .toString()
                .startsWith(QStringLiteral("FT232R USB UART")));

    comSel->setEditText(QStringLiteral("COM20"));
    w.ports.append({QStringLiteral("ttyACM0"), QString()});
    comSel->refreshPorts(); // as when the list is opened
    QCOMPARE(comSel->count(), 18);
    QCOMPARE(comSel->itemText(17), QStringLiteral("ttyACM0"));
    QCOMPARE(comSel->currentText(), QStringLiteral("COM20"));

    QTest::keyClick(comSel->lineEdit(), Qt::Key_Return); // a typed name is never added
    QCOMPARE(comSel->count(), 18);
    QCOMPARE(comSel->currentText(), QStringLiteral("COM20"));

    comSel->setCurrentIndex(16);
    comSel->refreshPorts();
    QCOMPARE(comSel->currentIndex(), 16);
    QCOMPARE(comSel->currentText(), QStringLiteral("ttyUSB0"));
}

QTEST_MAIN(TestForm1Connection)
#include "tst_form1connection.moc"
