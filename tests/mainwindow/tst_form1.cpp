#include "mainwindow/terminationsignals.h"
#include "mainwindowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <csignal>

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void captionsAndInitialTexts();
    void startupWithoutFile();
    void startupRestoresAndGoesOnline();
    void startupWithOldFile();
    void startupOnlineFailureIsToldAndCompletes();
    void closingWritesTheSettings_data();
    void closingWritesTheSettings();
    void closingWhenTheFileCannotBeWritten();
    void terminationSignalClosesLikeTheCloseBox();
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
    // Each tab holds its own panel.
    QVERIFY(w.widget(QStringLiteral("Picture1_0"))->findChild<QWidget *>(QStringLiteral("Frame7")));
    QVERIFY(w.widget(QStringLiteral("Picture1_0"))->findChild<QWidget *>(QStringLiteral("TxtChr")));
    QVERIFY(
        w.widget(QStringLiteral("Picture1_1"))->findChild<QWidget *>(QStringLiteral("UserModIn")));
    QVERIFY(
        w.widget(QStringLiteral("Picture1_2"))->findChild<QWidget *>(QStringLiteral("InfoTrs_0")));
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

void TestForm1::closingWhenTheFileCannotBeWritten()
{
    Window w;
    w.start(QByteArray("zCOM2\r\n0011"));
    QVERIFY(w.dir.remove()); // the folder went away while the program ran
    QSignalSpy closed(w.form.get(), &Form1::closed);
    w.form->show();
    QVERIFY(w.form->close());
    QCOMPARE(closed.size(), 1); // the program still ends
    QVERIFY(!w.p.line->isOpen);
    const QStringList messages = w.p.prompt.messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(QStringLiteral("Config_QV_demo.dat")));
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

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
