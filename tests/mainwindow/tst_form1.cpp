#include "mainwindow/configfile.h"
#include "mainwindow/cursorpicker.h"
#include "mainwindow/form1.h"
#include "mainwindow/portcombobox.h"
#include "mainwindow/terminationsignals.h"
#include "pipeline.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// One main window over a scripted line, started from a given settings file.
struct Window
{
    QTemporaryDir dir;
    Pipeline p;
    QList<PortEntry> ports;
    std::unique_ptr<Form1> form;

    QString configPath() const { return dir.filePath(QString::fromLatin1(ConfigFile::kFileName)); }

    void start(const std::optional<QByteArray> &config = std::nullopt)
    {
        if (config) {
            QFile file(configPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(*config);
        }
        form = std::make_unique<Form1>(
            Form1Parts{p.module, p.connection, p.monitor, p.logBoard, p.transmitter, p.transport,
                       p.state, p.prompt, p.codePage, [this] { return ports; }, dir.path()});
    }

    template<typename T> T *find(const QString &name) const
    {
        T *widget = form->findChild<T *>(name);
        if (!widget)
            qWarning("no %s", qPrintable(name));
        return widget;
    }
    QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }
    QPushButton *button(const QString &name) const { return find<QPushButton>(name); }
    QWidget *widget(const QString &name) const { return find<QWidget>(name); }

    QByteArray savedBytes() const
    {
        QFile file(configPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The offline picture is element 0, the online one element 1.
    int indicatorInFront() const
    {
        return find<QStackedWidget>(QStringLiteral("OnOffLineInd"))->currentIndex();
    }

    // "OnlineButton ComSel BPS Check1" enabled flags, for comparing whole states.
    QString enabledControls() const
    {
        QStringList on;
        for (const char *name : {"OnlineButton", "ComSel", "BPS", "Check1", "OfflineButton"}) {
            if (widget(QString::fromLatin1(name))->isEnabled())
                on << QString::fromLatin1(name);
        }
        return on.join(u' ');
    }

    void clickPosition(int position) const
    {
        QTest::mouseClick(widget(QStringLiteral("Pos_%1").arg(position)), Qt::LeftButton);
    }
};

const QString kAllEnabled = QStringLiteral("OnlineButton ComSel BPS Check1 OfflineButton");

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void captionsAndInitialTexts();
    void startupWithoutFile();
    void startupRestoresAndGoesOnline();
    void startupWithOldFile();
    void startupOnlineFailureIsToldAndCompletes();
    void connectionStates();
    void failedOpenLeavesOffline();
    void offlineWhileOffline();
    void portFailureDuringCommandGoesOffline();
    void ctsLockedWhileSerialOutRuns();
    void settingsFollowTheControls();
    void closingWritesTheSettings_data();
    void closingWritesTheSettings();
    void terminationSignalClosesLikeTheCloseBox();
    void pickerClicksAndHover();
    void modelChanges();
    void historyGrowsLineByLine();
    void portListOffersTheMachinesPorts();
};

void TestForm1::captionsAndInitialTexts()
{
    Window w;
    w.start();
    QCOMPARE(w.form->windowTitle(), QStringLiteral("Zepta [Ver1.13]"));
    auto *ifFrame = w.find<QGroupBox>(QStringLiteral("IfFrame"));
    QCOMPARE(ifFrame->title(), QStringLiteral("Interface setting && output code description"));
    QCOMPARE(ifFrame->toolTip(),
             QStringLiteral(
                 "Communication settings between PC and VFD module.  Change settings Offline."));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendCommandBox"))->text(),
             QStringLiteral("command"));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendHelpBox"))->text(), QStringLiteral("help"));
    QCOMPARE(w.find<QPlainTextEdit>(QStringLiteral("SendTextBox"))->toPlainText(),
             QStringLiteral("log"));
    QCOMPARE(w.widget(QStringLiteral("SendTextBox"))->toolTip(),
             QStringLiteral("Actual code transmitted for the issued command"));
    QCOMPARE(w.combo(QStringLiteral("DisplayList"))->toolTip(),
             QStringLiteral("Select display model"));
    QCOMPARE(w.find<QGroupBox>(QStringLiteral("RecFrame"))->title(),
             QStringLiteral("Recording code execution"));
    QCOMPARE(w.find<QGroupBox>(QStringLiteral("Frame6"))->title(),
             QStringLiteral("Output code monitor"));
    QCOMPARE(w.find<QGroupBox>(QStringLiteral("Frame7"))->title(),
             QStringLiteral("Cursor set  ( x = 00h,  y = 00h )"));
    QCOMPARE(w.button(QStringLiteral("OnlineButton"))->text(), QStringLiteral("Online"));
    QCOMPARE(w.button(QStringLiteral("OfflineButton"))->text(), QStringLiteral("Offline"));
    QCOMPARE(w.find<QCheckBox>(QStringLiteral("Check1"))->text(),
             QStringLiteral("CTS flow control"));
    for (const char *name :
         {"OnOffLineInd_0", "OnOffLineInd_1", "TabStrip1", "Picture1_0", "Picture1_1", "Picture1_2",
          "TrHistory", "SendLabel", "Pos_0", "Pos_143"})
        QVERIFY2(w.widget(QString::fromLatin1(name)), name);
}

void TestForm1::startupWithoutFile()
{
    Window w;
    w.start();
    QCOMPARE(w.savedBytes(), QByteArray()); // created empty
    QCOMPARE(w.combo(QStringLiteral("ComSel"))->currentText(), QStringLiteral("COM1"));
    QCOMPARE(w.combo(QStringLiteral("ComSel"))->currentIndex(), 0);
    QCOMPARE(w.combo(QStringLiteral("BPS"))->currentText(), QStringLiteral("38400"));
    QVERIFY(!w.find<QCheckBox>(QStringLiteral("Check1"))->isChecked());
    QCOMPARE(w.combo(QStringLiteral("DisplayList"))->currentText(),
             QStringLiteral("Panel-24B 4x24"));
    QCOMPARE(w.p.state.displayModel(), 1);
    QVERIFY(w.p.state.listsReady());
    QVERIFY(!w.form->comport_online());
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.p.line->opens, 0);
    QVERIFY(w.p.monitor.history().isEmpty());
    QVERIFY(w.p.prompt.asked().isEmpty());
    QVERIFY(!w.widget(QStringLiteral("Pos_95"))->isHidden());
    QVERIFY(w.widget(QStringLiteral("Pos_96"))->isHidden());
}

void TestForm1::startupRestoresAndGoesOnline()
{
    Window w;
    w.start(QByteArray("zCOM3\r\n3212"));
    QVERIFY(w.form->comport_online());
    QCOMPARE(w.p.line->opens, 1);
    QCOMPARE(w.p.line->settings.baudRate, 115200);
    QVERIFY(w.p.line->settings.ctsFlowControl);
    // Going online again is all the start does with the port: not one byte goes out.
    QVERIFY(w.p.line->written.isEmpty());
    QVERIFY(w.p.monitor.history().isEmpty());
    QCOMPARE(w.combo(QStringLiteral("ComSel"))->currentText(), QStringLiteral("COM3"));
    QCOMPARE(w.combo(QStringLiteral("ComSel"))->currentIndex(), -1);
    QCOMPARE(w.combo(QStringLiteral("BPS"))->currentText(), QStringLiteral("115200"));
    QVERIFY(w.find<QCheckBox>(QStringLiteral("Check1"))->isChecked());
    QCOMPARE(w.combo(QStringLiteral("DisplayList"))->currentIndex(), 2);
    QCOMPARE(w.p.state.displayModel(), 2);
    QVERIFY(!w.widget(QStringLiteral("Pos_143"))->isHidden());
    QCOMPARE(w.indicatorInFront(), 1);
    QCOMPARE(w.enabledControls(), QStringLiteral("OfflineButton"));
    QCOMPARE(w.find<QPlainTextEdit>(QStringLiteral("SendTextBox"))->toPlainText(),
             QStringLiteral("log"));
}

void TestForm1::startupWithOldFile()
{
    Window w;
    w.start(QByteArray("41200"));
    QCOMPARE(w.combo(QStringLiteral("ComSel"))->currentText(), QStringLiteral("COM5"));
    QCOMPARE(w.combo(QStringLiteral("ComSel"))->currentIndex(), 4);
    QCOMPARE(w.combo(QStringLiteral("BPS"))->currentText(), QStringLiteral("19200"));
    QVERIFY(w.find<QCheckBox>(QStringLiteral("Check1"))->isChecked());
    QCOMPARE(w.combo(QStringLiteral("DisplayList"))->currentText(),
             QStringLiteral("Panel-20A 2x20"));
    QVERIFY(!w.form->comport_online());
    QVERIFY(w.widget(QStringLiteral("Pos_20"))->isHidden());
}

void TestForm1::startupOnlineFailureIsToldAndCompletes()
{
    Window w;
    w.p.line->failOpen = true;
    w.start(QByteArray("zCOM3\r\n3212"));
    QCOMPARE(w.p.prompt.messages(), QStringList{QStringLiteral("COM port cannot be opened")});
    QVERIFY(!w.form->comport_online());
    QCOMPARE(w.enabledControls(), kAllEnabled);
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.p.state.displayModel(), 2);
    QVERIFY(w.p.state.listsReady());
}

void TestForm1::connectionStates()
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

void TestForm1::failedOpenLeavesOffline()
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

void TestForm1::offlineWhileOffline()
{
    Window w;
    w.start();
    QTest::mouseClick(w.button(QStringLiteral("OfflineButton")), Qt::LeftButton);
    QCOMPARE(w.p.line->opens, 0);
    QCOMPARE(w.indicatorInFront(), 0);
    QCOMPARE(w.enabledControls(), kAllEnabled);
}

void TestForm1::portFailureDuringCommandGoesOffline()
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

void TestForm1::ctsLockedWhileSerialOutRuns()
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

void TestForm1::settingsFollowTheControls()
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

void TestForm1::closingWritesTheSettings_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("typedPort");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("no file, defaults") << QByteArray() << QString() << QByteArray("zCOM1\r\n2001");
    QTest::newRow("online COM3 115200 CTS 6x24")
        << QByteArray("zCOM3\r\n3212") << QString() << QByteArray("zCOM3\r\n3212");
    QTest::newRow("typed COM20") << QByteArray() << "COM20" << QByteArray("zCOM20\r\n2001");
    QTest::newRow("old layout") << QByteArray("41200") << QString() << QByteArray("zCOM5\r\n1200");
    QTest::newRow("long path")
        << QByteArray("z/dev/serial/by-id/usb-Prolific_PL2303-if00-port0\r\n0003") << QString()
        << QByteArray("z/dev/serial/by-id/usb-Prolific_PL2303-if00-port0\r\n0003");
}

void TestForm1::closingWritesTheSettings()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, typedPort);
    QFETCH(QByteArray, after);

    Window w;
    w.start(before);
    if (!typedPort.isEmpty())
        w.combo(QStringLiteral("ComSel"))->setEditText(typedPort);
    QSignalSpy closed(w.form.get(), &Form1::closed);
    w.form->show();
    QVERIFY(w.form->close());
    QCOMPARE(closed.size(), 1);
    QCOMPARE(w.savedBytes(), after);
    QVERIFY(!w.p.line->isOpen);
    QVERIFY(!w.p.connection.comport_online());
    QVERIFY(w.p.prompt.asked().isEmpty());

    // The next start shows the same.
    Window next;
    next.start(after);
    QCOMPARE(next.combo(QStringLiteral("ComSel"))->currentText(),
             w.combo(QStringLiteral("ComSel"))->currentText());
    QCOMPARE(next.p.state.baudRate(), w.p.state.baudRate());
    QCOMPARE(next.p.state.displayModel(), w.p.state.displayModel());
}

void TestForm1::terminationSignalClosesLikeTheCloseBox()
{
#ifdef Q_OS_UNIX
    Window w;
    w.start(QByteArray("zCOM2\r\n0011"));
    QVERIFY(w.form->comport_online());
    TerminationSignals termination;
    connect(&termination, &TerminationSignals::received, w.form.get(), &QWidget::close);
    QSignalSpy closed(w.form.get(), &Form1::closed);
    w.form->show();
    QVERIFY(std::raise(SIGTERM) == 0);
    QTRY_COMPARE(closed.size(), 1);
    QVERIFY(!w.form->isVisible());
    QCOMPARE(w.savedBytes(), QByteArray("zCOM2\r\n0011"));
    QVERIFY(!w.p.line->isOpen);
#else
    QSKIP("POSIX signals only");
#endif
}

void TestForm1::pickerClicksAndHover()
{
    Window w;
    w.start(QByteArray("zCOM1\r\n2012")); // online, 6x24
    auto *frame = w.find<QGroupBox>(QStringLiteral("Frame7"));

    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w.widget(QStringLiteral("Pos_25")), &move);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));

    w.clickPosition(0);
    QCOMPARE(w.p.line->written, QByteArray::fromHex("1f2400000000"));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendCommandBox"))->text(),
             QStringLiteral("Cursor set(0,0)"));
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )"));

    w.clickPosition(143);
    QCOMPARE(w.p.line->written, QByteArray::fromHex("1f2400000000"
                                                    "1f2417000500"));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendCommandBox"))->text(),
             QStringLiteral("Cursor set(23,5)"));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendHelpBox"))->text(),
             QStringLiteral("-OpCode- xL   0  yL   0  (xL:CursorX)(yL:CursorY"));
    QCOMPARE(w.find<QPlainTextEdit>(QStringLiteral("SendTextBox"))->toPlainText(),
             QStringLiteral("[1f][24][17][00][05][00]"));
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 17h,  y = 05h )"));
    QCOMPARE(w.find<PickerButton>(QStringLiteral("Pos_143"))->colour(), QColor(0x00, 0xFF, 0x00));
    QCOMPARE(w.find<PickerButton>(QStringLiteral("Pos_0"))->colour(), QColor(0x40, 0x40, 0x40));
    QVERIFY(w.form->isEnabled());
}

void TestForm1::modelChanges()
{
    Window w;
    w.start(QByteArray("zCOM1\r\n2011")); // online
    w.p.logBoard.setRecording(true);
    auto *list = w.combo(QStringLiteral("DisplayList"));
    auto *lum = w.find<QComboBox>(QStringLiteral("LumList"));

    list->setCurrentIndex(3);
    list->setCurrentIndex(3);
    QCOMPARE(w.p.state.displayModel(), 3);
    QVERIFY(w.widget(QStringLiteral("Pos_20"))->isHidden());
    QVERIFY(w.widget(QStringLiteral("Pos_44"))->isHidden());
    QVERIFY(!w.widget(QStringLiteral("Pos_43"))->isHidden());
    if (lum) {
        QCOMPARE(lum->count(), 16);
        QCOMPARE(lum->itemText(15), QStringLiteral("400%"));
        lum->setCurrentIndex(12); // "325%": issues its command, so count from here
    }
    const QByteArray sentBefore = w.p.line->written;
    const QString logBefore = w.p.logBoard.logtext();

    list->setCurrentIndex(2);
    QCOMPARE(w.p.state.displayModel(), 2);
    QVERIFY(!w.widget(QStringLiteral("Pos_143"))->isHidden());
    if (lum) {
        QCOMPARE(lum->count(), 8);
        QCOMPARE(lum->currentIndex(), -1);
    }
    list->setCurrentIndex(0);
    QVERIFY(w.widget(QStringLiteral("Pos_20"))->isHidden());
    list->setCurrentIndex(1);
    QVERIFY(!w.widget(QStringLiteral("Pos_95"))->isHidden());
    QVERIFY(w.widget(QStringLiteral("Pos_96"))->isHidden());
    // Choosing a model only adapts the window.
    QCOMPARE(w.p.line->written, sentBefore);
    QCOMPARE(w.p.logBoard.logtext(), logBefore);
    if (!lum)
        QSKIP("the brightness list is not on the command panel yet");
}

void TestForm1::historyGrowsLineByLine()
{
    Window w;
    w.start();
    auto *history = w.find<QPlainTextEdit>(QStringLiteral("TrHistory"));
    w.clickPosition(1);
    w.clickPosition(2);
    QCOMPARE(history->toPlainText(),
             QStringLiteral("[T]1F 24 01 00 00 00 \n[T]1F 24 02 00 00 00 "));
    QVERIFY(history->textCursor().atEnd());
    w.p.monitor.clearHistory();
    QCOMPARE(history->toPlainText(), QString());
}

void TestForm1::portListOffersTheMachinesPorts()
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

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
