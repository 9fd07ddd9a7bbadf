// Everything that writes to the port takes its turn: commands, status
// requests, PLAY and the stepped lines, on the simulated module, each started
// while another is being written. What the module read must be each writer's
// bytes whole, in the order they were asked for.

#include "core/commands/setupmodecatalogue.h"
#include "core/logboard/logboardplayer.h"
#include "core/logboard/playerflags.h"
#include "core/module/simulatordevice.h"
#include "core/session/commandsession.h"
#include "core/session/serialoutswitch.h"
#include "core/session/setupstate.h"
#include "support/scriptedprompt.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

using Outcome = LogBoardPlayer::Outcome;

const QByteArray kText = QByteArray("abcdefghij").repeated(30);
const QByteArray kCursor = QByteArray::fromHex("1f2402000200"); // x = 2, y = 2
const QByteArray kLongLine = QByteArray(300, 'Z');
const QByteArray kStatusRequest = QByteArray::fromHex("1f28654002");  // firmware version
const QByteArray kBusyTwoSeconds = QByteArray::fromHex("1f28610104"); // a wait action
const QRegularExpression kPair(QStringLiteral("(..)"));

QString prtLine(const QByteArray &bytes)
{
    return "PRT " + QString::fromLatin1(bytes.toHex(' ')).replace(u' ', "h ") + "h;\r\n";
}

// A Log Board whose middle line is long enough to wait for the line.
const QString kBoard = prtLine("\x1b\x40") + prtLine(kLongLine) + prtLine("\x0c");
const QByteArray kBoardBytes = "\x1b\x40" + kLongLine + "\x0c";

// A session online on the simulated module at 115200 baud, with a player.
struct Desk
{
    std::shared_ptr<SimulatedModule> module = std::make_shared<SimulatedModule>();
    ScriptedPrompt prompt;
    CommandSession session{withSimulator({}, module), prompt,
                           CodePage(CodePage::Kind::Windows1252)};
    PlayerFlagSet flags;
    LogBoardPlayer player{flags, session.connection, session.queue, session.writer, prompt};
    // Runs once, the first time a write waits for the line: a click that
    // comes while a writer is under way.
    std::function<void()> whileWriting;

    explicit Desk(bool cts = false)
    {
        session.serialLine.setEventPump([this] {
            if (const auto action = std::exchange(whileWriting, nullptr))
                action();
            QCoreApplication::processEvents();
        });
        if (!session.connection.goOnline(
                QStringLiteral("Simulator"),
                {115200, cts ? FlowControl::CtsHandshake : FlowControl::None}))
            qFatal("the simulated module does not go online");
    }

    void issue(const QByteArray &bytes)
    {
        const QString escapes = QString::fromLatin1(bytes.toHex()).replace(kPair, "\\x\\1");
        session.transport.issue({escapes, QStringLiteral("t"), QStringLiteral("h")});
    }
    // Every byte the module has read, in order, once the line is quiet.
    QByteArray received() const
    {
        const QDeadlineTimer patience(10000);
        while (!module->line().idle() && !patience.hasExpired())
            QTest::qWait(5);
        QByteArray bytes;
        for (const LogEntry &entry : module->model().log().entries())
            bytes += entry.bytes;
        return bytes + module->model().pendingBytes();
    }
};

} // namespace

class TestWriteQueue : public QObject
{
    Q_OBJECT
private slots:
    void writersTakeTurns_data();
    void writersTakeTurns();
    void runsNotStartedAreCalledOff_data();
    void runsNotStartedAreCalledOff();
    void stopWhileTheModuleIsBusy();
    void serialOutStartChangesTheHandshakeInItsTurn();
};

void TestWriteQueue::writersTakeTurns_data()
{
    // "command" (300 bytes of text), "cursor" (a cursor set), "play" (a Log
    // Board with a 300-byte line), "status" (a status request with its reply),
    // "step" (stepping one 300-byte line, F8 pressed at once) and "F8" (the
    // step key of a stepping that waits for it).
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second"); // asked for while the first is being written
    const auto row = [](const char *name, const char *first, const char *second) {
        QTest::newRow(name) << QString::fromLatin1(first) << QString::fromLatin1(second);
    };
    row("command, then PLAY", "command", "play");
    row("PLAY, then command", "play", "cursor");
    row("command, then status request", "command", "status");
    row("PLAY, then status request", "play", "status");
    row("stepped line, then command", "step", "cursor");
    // Stepping waits for F8 with the port free: the command goes out at once,
    // and F8 pressed while it is written sends the line after it.
    row("command while stepping waits, then F8", "command", "F8");
}

void TestWriteQueue::writersTakeTurns()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    Desk d;
    const QHash<QString, QByteArray> bytes{{"command", kText},    {"cursor", kCursor},
                                           {"play", kBoardBytes}, {"status", kStatusRequest},
                                           {"step", kLongLine},   {"F8", kLongLine}};

    Outcome secondOutcome = Outcome::Finished;
    bool redWhileWaiting = false;
    d.whileWriting = [&] {
        if (second == u"cursor") {
            d.issue(kCursor);
        } else if (second == u"play") {
            secondOutcome = d.player.play(kBoard);
            redWhileWaiting = d.flags.playing();
        } else if (second == u"status") {
            d.session.transport.issue(SetupModeCatalogue::statusRequestCommand(0, 0));
        } else if (second == u"F8") {
            d.player.pressStepKey(LogBoardPlayer::StepKey::Send);
        }
    };
    // The status request holds the window from its send, not from its click.
    qint64 writtenAtHold = -1;
    QObject::connect(&d.session.transport, &CommandTransport::windowHoldChanged,
                     &d.session.transport, [&](bool held) {
                         if (held)
                             writtenAtHold = d.session.writer.bytesWritten();
                     });
    // Stepping sends its line on F8.
    QObject::connect(
        &d.player, &LogBoardPlayer::highlight, &d.player,
        [&](qsizetype, qsizetype length) {
            if (length == 0)
                return;
            if (first == u"step")
                d.player.pressStepKey(LogBoardPlayer::StepKey::Send);
            else
                d.issue(kText);
        },
        Qt::QueuedConnection);

    if (first == u"step" || second == u"F8")
        QCOMPARE(d.player.step(prtLine(kLongLine)), Outcome::Finished);
    else if (first == u"command")
        d.issue(kText);
    else if (first == u"play")
        QCOMPARE(d.player.play(kBoard), Outcome::Finished);

    QCOMPARE(d.received(), bytes.value(first) + bytes.value(second));
    QVERIFY(second != u"play" || (secondOutcome == Outcome::Waiting && redWhileWaiting));
    QVERIFY(second != u"status" || writtenAtHold == bytes.value(first).size());
    QCOMPARE(d.prompt.asked().size(), 0);
}

void TestWriteQueue::runsNotStartedAreCalledOff_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("STOP before PLAY's turn") << "stop";
    QTest::newRow("Offline drops what waits") << "offline";
}

void TestWriteQueue::runsNotStartedAreCalledOff()
{
    QFETCH(QString, how);
    Desk d;
    QSignalSpy finished(&d.player, &LogBoardPlayer::finished);
    d.whileWriting = [&] {
        d.issue(kCursor);
        QCOMPARE(d.player.play(kBoard), Outcome::Waiting);
        if (how == u"stop")
            d.player.stop();
        else
            d.session.connection.goOffline();
    };
    d.issue(kText);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<Outcome>(), Outcome::Stopped);
    // Offline: whatever of the text left before it, and nothing after it.
    const QByteArray received = d.received();
    QVERIFY(how == u"stop" ? received == kText + kCursor
                           : kText.startsWith(received) && received.size() < kText.size());
}

// A playback waits for a module that holds its input (CTS flow control on);
// a command is clicked, then STOP. STOP ends the playback at once, the
// command goes out after it, whole, and exactly the bytes counted as sent
// arrive.
void TestWriteQueue::stopWhileTheModuleIsBusy()
{
    Desk d(true);
    d.issue(kBusyTwoSeconds);
    QTRY_VERIFY(d.module->line().moduleBusy());
    bool busyWhenStopped = false;
    qint64 writtenWhenStopped = -1;
    QObject::connect(&d.player, &LogBoardPlayer::finished, &d.player, [&] {
        busyWhenStopped = d.module->line().moduleBusy();
        writtenWhenStopped = d.session.writer.bytesWritten();
    });
    d.whileWriting = [&] {
        d.issue(kCursor);
        d.player.stop();
    };
    QCOMPARE(d.player.play(kBoard), Outcome::Stopped);
    QVERIFY(busyWhenStopped);
    const QByteArray received = d.received();
    const qsizetype played = writtenWhenStopped - kBusyTwoSeconds.size();
    QCOMPARE(received, kBusyTwoSeconds + kBoardBytes.left(played) + kCursor);
    QCOMPARE(d.session.writer.bytesWritten(), received.size());
    QVERIFY(d.prompt.asked().isEmpty() && d.session.connection.isOnline());
}

// Serial OUT start clicked during a playback: the playback keeps CTS flow
// control to its end, and the start command switches it off in its own turn.
void TestWriteQueue::serialOutStartChangesTheHandshakeInItsTurn()
{
    Desk d(true);
    SetupState state;
    state.setFlowControl(FlowControl::CtsHandshake);
    SerialOutSwitch serialOut(d.session.transport, d.session.connection, state, d.prompt);
    const auto ctsOn = [&] {
        return d.session.serialLine.device()->lineSettings().flowControl ==
               FlowControl::CtsHandshake;
    };
    bool ctsWhileWaiting = false;
    d.whileWriting = [&] {
        serialOut.start();
        ctsWhileWaiting = ctsOn();
    };
    QCOMPARE(d.player.play(kBoard), Outcome::Finished);
    QVERIFY(ctsWhileWaiting && !ctsOn());
    QCOMPARE(d.received(), kBoardBytes + QByteArray::fromHex("1f28658349 4e"));
}

QTEST_GUILESS_MAIN(TestWriteQueue)
#include "tst_writequeue.moc"
