#include "app/shared/terminationsignals.h"
#include "gui/common/fixedfont.h"
#include "mainwindowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSignalSpy>

#include <csignal>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void fixedPitchMonitor();
    void startupShowsTheFileAndClosingWritesIt_data();
    void startupShowsTheFileAndClosingWritesIt();
    void closingWhenTheFileCannotBeWritten();
    void closingDuringThePortErrorSavesOffline();
    void terminationSignalClosesLikeTheCloseBox_data();
    void terminationSignalClosesLikeTheCloseBox();
};

void TestMainWindow::fixedPitchMonitor()
{
    Window w;
    w.start();
    // Byte columns line up only in a fixed-pitch font.
    for (const char *name : {"sendCommandBox", "sendHelpBox", "SendTextBox", "TrHistory"})
        QVERIFY2(w.find(name)->font() == fixedPitchFont(), name);
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
    QFETCH(QString, shown);
    QFETCH(bool, online);
    QFETCH(QString, typedPort);
    QFETCH(QByteArray, after);
    QFETCH(bool, failOpen);

    Window w;
    w.p.line->failOpen = failOpen;
    w.start(config);
    auto *comSel = w.find<QComboBox>("ComSel");
    const QString bps = w.find<QComboBox>("BPS")->currentText();
    const bool cts = w.find<QCheckBox>("Check1")->isChecked();
    const auto *displayList = w.find<QComboBox>("DisplayList");
    QCOMPARE(QStringList({comSel->currentText(), QString::number(comSel->currentIndex()), bps,
                          cts ? "CTS" : "off", displayList->currentText()})
                 .join(u'|'),
             shown);
    QCOMPARE(w.state.baudRate(), bps);
    QCOMPARE(w.state.flowControl(), cts ? FlowControl::CtsHandshake : FlowControl::None);
    QCOMPARE(w.state.displayModel(), displayList->currentIndex());
    QCOMPARE(w.find("Pos_143")->isHidden(), displayList->currentIndex() != 2);
    QVERIFY(w.state.listsReady());
    const QString told = failOpen ? QStringLiteral("COM port cannot be opened") : QString();
    QCOMPARE(w.told(), told);

    QCOMPARE(w.form->comport_online(), online);
    QCOMPARE(w.p.line->isOpen, online);
    QCOMPARE(w.indicatorInFront(), online ? 1 : 0);
    QCOMPARE(w.enabledControls(), online ? QStringLiteral("OfflineButton") : kAllEnabled);
    if (online) {
        QCOMPARE(w.p.line->settings.baudRate, bps.toInt());
        QCOMPARE(w.p.line->settings.ctsFlowControl, cts);
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
    QCOMPARE(w.savedBytes(), after);
    QVERIFY(!w.p.line->isOpen);
    QCOMPARE(w.told(), told);

    Window next; // shows what this one showed
    next.start(after);
    QCOMPARE(next.find<QComboBox>("ComSel")->currentText(), comSel->currentText());
    QCOMPARE(next.state.baudRate(), w.state.baudRate());
    QCOMPARE(next.state.displayModel(), w.state.displayModel());
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

void TestMainWindow::terminationSignalClosesLikeTheCloseBox_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

void TestMainWindow::terminationSignalClosesLikeTheCloseBox()
{
#ifdef Q_OS_UNIX
    QFETCH(int, signalNumber);
    Window w;
    w.start("zCOM2\r\n0011"); // online
    {
        TerminationSignals termination; // the previous row's one gave the signals back
        TerminationSignals second;      // the pipe has one reader; a second one stays idle
        QVERIFY(termination.isActive());
        QVERIFY(!second.isActive());
        connect(&termination, &TerminationSignals::received, w.form.get(), &QWidget::close);
        QSignalSpy received(&termination, &TerminationSignals::received);
        QSignalSpy closed(w.form.get(), &MainWindow::closed);
        w.form->show();
        QVERIFY(std::raise(signalNumber) == 0);
        QCOMPARE(closed.size(), 0); // nothing runs inside the handler
        QTRY_COMPARE(closed.size(), 1);
        QCOMPARE(received.at(0).at(0).toInt(), signalNumber);
    }
    QCOMPARE(w.savedBytes(), QByteArray("zCOM2\r\n0011"));
    QVERIFY(!w.p.line->isOpen);
    struct sigaction current = {};
    QVERIFY(sigaction(signalNumber, nullptr, &current) == 0);
    QVERIFY(current.sa_handler == SIG_DFL);
#else
    QSKIP("POSIX signals only");
#endif
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
