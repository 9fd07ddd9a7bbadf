#include "mainwindow/terminationsignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TestTerminationSignals : public QObject
{
    Q_OBJECT
private slots:
    void signalArrivesOnTheEventLoop_data();
    void signalArrivesOnTheEventLoop();
    void defaultActionIsBackAfterwards();
};

void TestTerminationSignals::signalArrivesOnTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

void TestTerminationSignals::signalArrivesOnTheEventLoop()
{
#ifdef Q_OS_UNIX
    QFETCH(int, signalNumber);
    TerminationSignals signals_;
    QVERIFY(signals_.isActive());
    QSignalSpy spy(&signals_, &TerminationSignals::received);
    QVERIFY(std::raise(signalNumber) == 0);
    QCOMPARE(spy.size(), 0); // nothing runs inside the handler
    QTRY_COMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
#else
    QSKIP("POSIX signals only");
#endif
}

void TestTerminationSignals::defaultActionIsBackAfterwards()
{
#ifdef Q_OS_UNIX
    {
        TerminationSignals first;
        TerminationSignals second; // the pipe has one reader; a second instance stays idle
        QVERIFY(first.isActive());
        QVERIFY(!second.isActive());
    }
    struct sigaction current = {};
    QVERIFY(sigaction(SIGTERM, nullptr, &current) == 0);
    QVERIFY(current.sa_handler == SIG_DFL);
    TerminationSignals again;
    QVERIFY(again.isActive());
#else
    QSKIP("POSIX signals only");
#endif
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
