// The main window over the real serial layer, with a pseudo-terminal as the
// module, and the line misbehaving: the far end vanishing in the middle of the
// window's work, and the window closed while a write hangs. Which names the
// port layer refuses is zepta-cli's test.

#include "app/shared/terminationsignals.h"
#include "core/logboard/logboardplayer.h"
#include "gui/editor/editwindow.h"
#include "support/pseudoterminal.h"
#include "systemwindow.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

// The module's end of a pseudo-terminal on a thread of its own: it reads
// what arrives and, once `after` bytes came, does `then` (hangs up, raises a
// signal), whatever the window is doing at that moment.
class FarEndThread
{
public:
    FarEndThread(PseudoTerminal &pty, qsizetype after, std::function<void()> then)
        : m_thread([this, &pty, after, then = std::move(then)] {
            char buffer[512];
            while (m_got < after) {
                pollfd p{pty.masterFd(), POLLIN, 0};
                if (::poll(&p, 1, 10000) <= 0)
                    return;
                const auto wanted = std::min<qsizetype>(qsizetype(sizeof buffer), after - m_got);
                const ssize_t n = ::read(pty.masterFd(), buffer, size_t(wanted));
                if (n <= 0)
                    return;
                m_got += n;
            }
            then();
        })
    {
    }
    ~FarEndThread() { m_thread.join(); }

private:
    std::atomic<qsizetype> m_got{0};
    std::thread m_thread;
};

// 2000 "PRT" lines of 64 bytes each: far more than a pseudo-terminal holds.
const QString kLongLogText =
    (QStringLiteral("PRT") + QStringLiteral(" 41h").repeated(64) + QStringLiteral(";\r\n"))
        .repeated(2000);

// Starts the work the row names; returns once the window's handler returned.
void startWork(SystemWindow &desk, const QString &work)
{
    if (work == u"command") { // 120,000 bytes, most of which a pseudo-terminal cannot hold
        desk.session.transport.issue({QString(120000, u'A'), QStringLiteral("Text"), "-"});
    } else if (work == u"playback") {
        desk.session.logBoard.setText(kLongLogText);
        desk.click("PlayCommandButton");
    } else if (work == u"edit playback" || work == u"step") {
        desk.session.logBoard.setText(kLongLogText);
        desk.click("EditCommandButton");
        if (work == u"step") {
            // F8 after every highlight, as a user holding the key down.
            auto *player = desk.form->editWindow()->findChild<LogBoardPlayer *>();
            QObject::connect(
                player, &LogBoardPlayer::highlight, desk.form->editWindow(),
                [&desk](qsizetype, qsizetype length) {
                    if (length > 0)
                        QTest::keyClick(desk.form->editWindow()->findChild<QWidget *>("EditBox"),
                                        Qt::Key_F8);
                },
                Qt::QueuedConnection);
        }
        desk.click(work == u"step" ? "StepCommandButton" : "PlayCommandButton",
                   desk.form->editWindow());
    } else if (work == u"status read") {
        desk.prompt.answerYesNo(true);
        desk.click("TxdMod_1");
        desk.click("InfoTrs_0");
    }
}

// How many bytes the far end takes before it acts: some way into the work,
// or right after the status request, while its reply is being read.
qsizetype bytesBeforeTheFault(const QString &work)
{
    if (work == u"status read")
        return 6 + 5; // 1F 28 65 83 49 4E, then 1F 28 65 40 02
    if (work == u"step")
        return 64 * 3 + 10; // during the fourth line
    return 3000;
}

bool anyPlayerRunning(const SystemWindow &desk)
{
    for (const LogBoardPlayer *player : desk.form->findChildren<LogBoardPlayer *>()) {
        if (player->running())
            return true;
    }
    return false;
}

} // namespace

class TestPortFaults : public QObject
{
    Q_OBJECT
private slots:
    void farEndVanishesMidWork_data();
    void farEndVanishesMidWork();
    void closedDuringWork_data();
    void closedDuringWork();
};

void TestPortFaults::farEndVanishesMidWork_data()
{
    QTest::addColumn<QString>("work");
    for (const char *work : {"command", "playback", "edit playback", "step", "status read"})
        QTest::newRow(work) << QString::fromLatin1(work);
}

void TestPortFaults::farEndVanishesMidWork()
{
    QFETCH(QString, work);
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    SystemWindow desk;
    QVERIFY2(desk.goOnline(pty.slavePath()), qPrintable(desk.prompt.messages().join(u'|')));
    {
        FarEndThread farEnd(pty, bytesBeforeTheFault(work), [&pty] {
            pty.closeMaster();
            pty.closeSlave();
        });
        startWork(desk, work);
        QTRY_VERIFY(!anyPlayerRunning(desk));
    }

    // Told once, and left exactly as the Offline button leaves it.
    QCOMPARE(desk.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!desk.session.connection.isOnline());
    const QString controls = desk.enabledControls();
    desk.click("OfflineButton");
    QCOMPARE(controls, desk.enabledControls());
    QVERIFY(controls.startsWith(QStringLiteral("OnlineButton ComSel BPS")));
    QVERIFY(desk.form->isEnabled());
    QVERIFY(!desk.session.serialLine.device() || !desk.session.serialLine.device()->isOpen());
    bool loopRuns = false;
    QTimer::singleShot(0, this, [&] { loopRuns = true; });
    QTRY_VERIFY(loopRuns);

    // The device back (on a new terminal): Online works as before.
    if (desk.form->editWindow())
        desk.form->editWindow()->close();
    PseudoTerminal again;
    QVERIFY(desk.goOnline(again.slavePath()));
    desk.click("Pos_25");
    QCOMPARE(again.readMaster(6), QByteArray::fromHex("1f2401000100"));
    QCOMPARE(desk.prompt.messages().size(), 1);
}

void TestPortFaults::closedDuringWork_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<bool>("bySignal");
    for (const char *work : {"command", "playback", "status read"}) {
        QTest::addRow("%s, close box", work) << QString::fromLatin1(work) << false;
        QTest::addRow("%s, SIGTERM", work) << QString::fromLatin1(work) << true;
    }
}

void TestPortFaults::closedDuringWork()
{
    QFETCH(QString, work);
    QFETCH(bool, bySignal);
    PseudoTerminal pty;
    SystemWindow desk;
    QVERIFY(desk.goOnline(pty.slavePath()));
    desk.form->show();
    TerminationSignals termination;
    TerminationSignals second; // the pipe has one reader; a second one stays idle
    QVERIFY(termination.isActive());
    QVERIFY(!second.isActive());
    connect(&termination, &TerminationSignals::received, desk.form.get(), &QWidget::close);
    QSignalSpy closed(desk.form.get(), &MainWindow::closed);

    // The far end takes some bytes and then nothing more (the status request
    // gets no reply); at that moment the user closes the window or the
    // system asks the program to end.
    QElapsedTimer sinceClose;
    std::atomic<bool> asked{false};
    const auto askToEnd = [&] {
        sinceClose.start();
        asked = true;
        if (bySignal)
            ::kill(::getpid(), SIGTERM);
        else
            QMetaObject::invokeMethod(desk.form.get(), &QWidget::close, Qt::QueuedConnection);
    };
    {
        FarEndThread farEnd(pty, bytesBeforeTheFault(work), askToEnd);
        startWork(desk, work);
        QTRY_VERIFY(closed.size() == 1);
    }
    QVERIFY(asked);
    QVERIFY2(sinceClose.elapsed() < 2000, qPrintable(QString::number(sinceClose.elapsed())));
    QVERIFY(!anyPlayerRunning(desk));

    // Saved as online, the port closed, and no box left behind.
    QFile saved(desk.configPath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), "z" + pty.slavePath().toLatin1() + "\r\n2011");
    QVERIFY(!desk.session.serialLine.device() || !desk.session.serialLine.device()->isOpen());
    QCOMPARE(desk.prompt.messages().join(u'|'), QString());
}

QTEST_MAIN(TestPortFaults)
#include "tst_portfaults.moc"
