// A stalled line: the simulated module holds CTS low during a wait action
// while Zepta writes with CTS flow control on. The window stays alive, the
// user can leave the wait, and bytes that did not leave never arrive later.

#include "../mainwindow/systemwindow.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QSlider>
#include <QTimer>

namespace {

// "Solution for you." is 17 bytes: with 150 ms a byte its write gives up
// after about 2.5 s, well after the user acts.
constexpr int kWritePerByteMs = 150;
constexpr int kWaitSteps = 4; // 2 s busy
constexpr int kUserActsAfterMs = 300;

// The window's pulse: the longest gap between ticks of a 5 ms timer.
class Pulse
{
public:
    Pulse()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longestGapMs = std::max(m_longestGapMs, m_sinceTick.restart());
        });
        m_timer.start();
        m_sinceTick.start();
    }
    qint64 longestGapMs() const { return m_longestGapMs; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longestGapMs = 0;
};

} // namespace

class TestSimulatorStall : public QObject
{
    Q_OBJECT
private slots:
    void userLeavesAStalledWrite_data();
    void userLeavesAStalledWrite();
};

void TestSimulatorStall::userLeavesAStalledWrite_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("staysOnline");
    QTest::newRow("command, Offline") << "command"
                                      << "OfflineButton" << false;
    QTest::newRow("playback, Offline") << "playback"
                                       << "OfflineButton" << false;
    QTest::newRow("playback, STOP") << "playback"
                                    << "StopCommandButton" << true;
}

void TestSimulatorStall::userLeavesAStalledWrite()
{
    QFETCH(QString, work);
    QFETCH(QString, button);
    QFETCH(bool, staysOnline);
    SystemWindow desk;
    desk.session.serialLine.setTimeouts(SerialLine::kReadTimeoutMs, kWritePerByteMs);
    auto *bps = desk.find<QComboBox>("BPS");
    bps->setCurrentIndex(bps->findText(QStringLiteral("115200")));
    desk.click("Check1");
    QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    SimulatedModule *module = desk.module();
    QVERIFY(module);
    desk.find<QSlider>("WaitSlider")->setValue(kWaitSteps);
    desk.click("WaitCommandButton");
    QTRY_VERIFY(module->line().moduleBusy());

    Pulse pulse;
    QTimer::singleShot(kUserActsAfterMs, desk.form.get(),
                       [&desk, button] { desk.click(qPrintable(button)); });
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

    // Left at once, without a port error, and the window alive throughout.
    QVERIFY2(ms < 17 * kWritePerByteMs - 500, qPrintable(QString::number(ms)));
    QCOMPARE(desk.prompt.messages(), QStringList());
    QCOMPARE(desk.session.connection.isOnline(), staysOnline);
    QCOMPARE(desk.enabledControls(),
             staysOnline ? QStringLiteral("OfflineButton")
                         : QStringLiteral("OnlineButton ComSel BPS Check1 OfflineButton"));
    // A sanity bound only (a loaded machine stretches every gap).
    QVERIFY2(pulse.longestGapMs() < 400, qPrintable(QString::number(pulse.longestGapMs())));

    // Once the module reads again, nothing of what stayed behind arrives.
    QTRY_VERIFY_WITH_TIMEOUT(!module->line().moduleBusy(), 10000);
    if (!staysOnline)
        QVERIFY(desk.goOnline(QStringLiteral("Simulator")));
    desk.type(QStringLiteral("after"));
    desk.click("TextSet");
    QTRY_COMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("after"));
    QCOMPARE(desk.prompt.messages(), QStringList());
}

QTEST_MAIN(TestSimulatorStall)
#include "tst_simulatorstall.moc"
