// The main window over the real serial layer, with a pseudo-terminal as the
// module, and the far end vanishing in the middle of the window's work: told
// once, and left as the Offline button leaves it.

#include "support/pseudoterminal.h"
#include "systemwindow.h"

#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

// The module's end of a pseudo-terminal, on a thread of its own: it reads
// what arrives and, once `after` bytes came, hangs up, whatever the window is
// doing at that moment.
std::jthread hangUpAfter(PseudoTerminal &pty, qsizetype after)
{
    return std::jthread([&pty, after] {
        char buffer[512];
        for (qsizetype got = 0; got < after;) {
            pollfd p{pty.masterFd(), POLLIN, 0};
            const auto wanted = size_t(std::min<qsizetype>(qsizetype(sizeof buffer), after - got));
            const ssize_t n = ::poll(&p, 1, 10000) > 0 ? ::read(p.fd, buffer, wanted) : -1;
            if (n <= 0)
                return;
            got += n;
        }
        pty.closeMaster();
        pty.closeSlave();
    });
}

} // namespace

class TestPortFaults : public QObject
{
    Q_OBJECT
private slots:
    void farEndVanishesMidWork_data();
    void farEndVanishesMidWork();
};

void TestPortFaults::farEndVanishesMidWork_data()
{
    QTest::addColumn<QString>("work");
    for (const char *work : {"command", "playback", "status read"})
        QTest::newRow(work) << QString::fromLatin1(work);
}

void TestPortFaults::farEndVanishesMidWork()
{
    QFETCH(QString, work);
    PseudoTerminal pty;
    SystemWindow desk;
    QVERIFY(desk.goOnline(pty.slavePath()));
    {
        // Some way into the work, or right after the status request
        // (1F 28 65 83 49 4E, then 1F 28 65 40 02), while its reply is read.
        const std::jthread farEnd = hangUpAfter(pty, work == u"status read" ? 6 + 5 : 3000);
        // 2000 "PRT" lines of 64 bytes each: far more than a pseudo-terminal holds.
        desk.session.logBoard.setText(
            (QStringLiteral("PRT") + QStringLiteral(" 41h").repeated(64) + QStringLiteral(";\r\n"))
                .repeated(2000));
        if (work == u"command") { // 120,000 bytes, most of which a pseudo-terminal cannot hold
            desk.session.transport.issue({QString(120000, u'A'), QStringLiteral("Text"), "-"});
        } else if (work == u"playback") {
            desk.click("PlayCommandButton");
        } else {
            desk.prompt.answerYesNo(true);
            desk.click("TxdMod_1");
            desk.click("InfoTrs_0");
        }
        QTRY_VERIFY(!desk.session.connection.isOnline());
    }
    QCOMPARE(desk.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!desk.session.serialLine.device() || !desk.session.serialLine.device()->isOpen());
    const QString controls = desk.enabledControls();
    desk.click("OfflineButton");
    QCOMPARE(desk.enabledControls(), controls);
    QVERIFY(controls.startsWith(QStringLiteral("OnlineButton ComSel BPS")));
    QVERIFY(desk.form->isEnabled());
}

QTEST_MAIN(TestPortFaults)
#include "tst_portfaults.moc"
