// The main window over the real serial layer, with a pseudo-terminal as the
// module: the far end vanishing in the middle of the window's work, and the
// window closed while a write hangs.

#include "gui/editor/editwindow.h"
#include "support/pseudoterminal.h"
#include "systemwindow.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <atomic>
#include <functional>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

// The module's end of a pseudo-terminal on a thread of its own: it reads
// what arrives and, once `after` bytes came, does `then`, whatever the window
// is doing at that moment.
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

// Starts the work the row names; returns once the window's handler returned.
void startWork(SystemWindow &desk, const QString &work)
{
    // 2000 "PRT" lines of 64 bytes each: far more than a pseudo-terminal holds.
    desk.session.logBoard.setText(
        (QStringLiteral("PRT") + QStringLiteral(" 41h").repeated(64) + QStringLiteral(";\r\n"))
            .repeated(2000));
    if (work == u"command") { // 120,000 bytes, most of which a pseudo-terminal cannot hold
        desk.session.transport.issue({QString(120000, u'A'), QStringLiteral("Text"), "-"});
    } else if (work == u"playback") {
        desk.click("PlayCommandButton");
    } else if (work == u"edit playback") {
        desk.click("EditCommandButton");
        desk.click("PlayCommandButton", desk.form->editWindow());
    } else {
        desk.prompt.answerYesNo(true);
        desk.click("TxdMod_1");
        desk.click("InfoTrs_0");
    }
}

} // namespace

class TestPortFaults : public QObject
{
    Q_OBJECT
private slots:
    void farEndFailsMidWork_data();
    void farEndFailsMidWork();
};

void TestPortFaults::farEndFailsMidWork_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("fault"); // the far end hangs up, or the user closes the window
    for (const char *work : {"command", "playback", "edit playback", "status read"})
        QTest::addRow("%s, hang-up", work) << QString::fromLatin1(work) << "hang-up";
    for (const char *work : {"command", "playback", "status read"})
        QTest::addRow("%s, close box", work) << QString::fromLatin1(work) << "close box";
    QTest::newRow("command, SIGTERM") << "command"
                                      << "SIGTERM";
}

void TestPortFaults::farEndFailsMidWork()
{
    QFETCH(QString, work);
    QFETCH(QString, fault);
    PseudoTerminal pty;
    SystemWindow desk;
    QVERIFY(desk.goOnline(pty.slavePath()));
    desk.form->show();
    QSignalSpy closed(desk.form.get(), &MainWindow::closed);
    QElapsedTimer sinceClose;
    // The far end hangs up, or takes nothing more (the status request gets
    // no reply) while the user closes the window.
    const auto act = [&] {
        sinceClose.start();
        if (fault == u"hang-up") {
            pty.closeMaster();
            pty.closeSlave();
        } else {
            QMetaObject::invokeMethod(desk.form.get(), &QWidget::close, Qt::QueuedConnection);
        }
    };
    {
        // Some way into the work, or right after the status request
        // (1F 28 65 83 49 4E, then 1F 28 65 40 02), while its reply is read.
        FarEndThread farEnd(pty, work == u"status read" ? 6 + 5 : 3000, act);
        startWork(desk, work);
        QTRY_VERIFY(fault == u"hang-up" ? !desk.session.connection.isOnline() : !closed.isEmpty());
    }
    QVERIFY(!desk.session.serialLine.device() || !desk.session.serialLine.device()->isOpen());
    if (fault != u"hang-up") {
        QVERIFY2(sinceClose.elapsed() < 2000, qPrintable(QString::number(sinceClose.elapsed())));
        // Saved as online, and no box left behind.
        QCOMPARE(fileBytes(desk.configPath()), "z" + pty.slavePath().toLatin1() + "\r\n2011");
        QCOMPARE(desk.prompt.messages(), QStringList());
        return;
    }
    // Told once, and left exactly as the Offline button leaves it.
    QCOMPARE(desk.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    const QString controls = desk.enabledControls();
    desk.click("OfflineButton");
    QCOMPARE(desk.enabledControls(), controls);
    QVERIFY(controls.startsWith(QStringLiteral("OnlineButton ComSel BPS")));
    QVERIFY(desk.form->isEnabled());
}

QTEST_MAIN(TestPortFaults)
#include "tst_portfaults.moc"
