// One command on its way out: the monitor, the Log Board, the reply, and the
// port writer every sender shares (64-byte writes, continuation after a
// partial write, and the one reaction to a port that fails).

#include "core/transport/monitorformat.h"
#include "core/transport/portwriter.h"
#include "support/fakesession.h"

#include <QRegularExpression>
#include <QTest>

#include <numeric>

namespace {

// A command as the panels hand it over.
void send(FakeSession &session, const QString &text, const QString &title = QStringLiteral("t"))
{
    session.transport.issue({text, title, QStringLiteral("h")});
}

// The bytes 0, 1, 2... count - 1: a byte out of place shows.
QByteArray counting(int count)
{
    QByteArray bytes(count, '\0');
    std::iota(bytes.begin(), bytes.end(), char(0));
    return bytes;
}

// A record as REC writes it for a command given to send().
QString record(const char *title, const char *prt)
{
    return QStringLiteral("*** %1 ***\r\n*** h ***\r\n%2\r\n\r\n").arg(title, prt);
}

} // namespace

class TestCommandTransport : public QObject
{
    Q_OBJECT
private slots:
    void offlineShowsButSendsNothing();
    void writeSegments_data();
    void writeSegments();
    void replyFormats();
    void logBoardRecords();
    void commandDuringKeyWaitIsQueued();
    void oneCodeMoreThanTheLargestIsRefused();
    void writesCountOnlyWhatLeft_data();
    void writesCountOnlyWhatLeft();
    void aWriteInsideAnotherIsRefused();
};

// Offline a command is shown and sends nothing; a status request still
// expects its reply. Online, a request reads its reply past what waited.
void TestCommandTransport::offlineShowsButSendsNothing()
{
    FakeSession bench;
    bench.monitor.setResponse(QStringLiteral("old"));
    const Command request{.text = QStringLiteral("\\x1f\\x28\\x65\\x40\\x02"),
                          .title = QStringLiteral("Read Status information"),
                          .help = QString(),
                          .expectReply = true,
                          .replyKind = ReplyKind::FourHexBytes};
    bench.transport.issue(request);
    QCOMPARE(bench.monitor.history() + bench.monitor.commandName() + bench.monitor.response(),
             QStringLiteral("[T]1F 28 65 40 02 \r\nRead Status information"));
    QVERIFY(bench.transmitter.expectReply());
    QVERIFY(bench.line->written.isEmpty());

    bench.goOnline(9600);
    bench.line->input = "stale";
    bench.line->replyOnWrite = QByteArray::fromHex("28654001020aff");
    bench.transport.issue(request);
    QCOMPARE(bench.monitor.response(), QStringLiteral("01 02 0A FF"));
}

void TestCommandTransport::writeSegments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QByteArray>>("writes");
    // The 64-byte writes themselves are the port writer's test.
    QTest::newRow("pause keeps one write")
        << QStringLiteral("\\x1b\\w\\x40") << QList<QByteArray>{"\x1b\x40"};
    // 64 bytes went the moment they were full; the other 36 wait for the pause
    // and join the bytes after it.
    QTest::newRow("pause after 100 bytes")
        << QStringLiteral("A").repeated(100) + QStringLiteral("\\w") +
               QStringLiteral("B").repeated(50)
        << QList<QByteArray>{QByteArray(64, 'A'), QByteArray(36, 'A') + QByteArray(28, 'B'),
                             QByteArray(22, 'B')};
    QTest::newRow("flush splits, alone writes nothing")
        << QStringLiteral("\\e\\x1b\\e\\x40") << QList<QByteArray>{"\x1b", "\x40"};
}

void TestCommandTransport::writeSegments()
{
    QFETCH(QString, text);
    QFETCH(QList<QByteArray>, writes);
    FakeSession bench;
    QVERIFY(bench.goOnline());
    send(bench, text);
    QCOMPARE(bench.line->writes, writes);
}

void TestCommandTransport::replyFormats()
{
    const QByteArray header = QByteArray::fromHex("286540");
    const auto shown = [](int kind, QByteArray reply) {
        reply.resize(21, '\0');
        return MonitorFormat::replyText(reply, ReplyKind(kind), CodePage());
    };
    // Characters, hex, twelve characters, five bytes, nothing came, the label left.
    QCOMPARE(
        (QStringList{shown(1, header + "1.05"), shown(2, header + "\x01\x02\x0a\xff"),
                     shown(3, header + "GU256X64-7K tail"),
                     shown(4, header + "\x10\x20\x30\x40\x50\x60"), shown(2, {}),
                     shown(0, header + "abcd")}),
        (QStringList{"1.05", "01 02 0A FF", "GU256X64-7K ", "10 20 30 40 50", "00 00 00 00", ""}));
}

// Offline, REC off or paused records nothing; a command that converts to
// nothing records an empty PRT line and does not replay the previous bytes.
void TestCommandTransport::logBoardRecords()
{
    FakeSession bench;
    send(bench, QStringLiteral("\\x01"), QStringLiteral("not recording"));
    bench.logBoard.setRecording(true);
    bench.logBoard.setPaused(true);
    send(bench, QStringLiteral("\\x01"), QStringLiteral("paused"));
    bench.logBoard.setPaused(false);
    send(bench, QStringLiteral("\\x1b\\x40\\k"), QStringLiteral("Initialize"));
    send(bench, QString(), QStringLiteral("Cursor type="));
    QCOMPARE(bench.logBoard.text(),
             record("Initialize", "PRT 1bh 40h ffh;") + record("Cursor type=", "PRT;"));
}

void TestCommandTransport::commandDuringKeyWaitIsQueued()
{
    FakeSession bench;
    QVERIFY(bench.goOnline());
    bench.logBoard.setRecording(true);
    QList<QByteArray> writtenAtPrompt;
    bench.prompt.onMessage([&](const QString &) {
        if (!writtenAtPrompt.isEmpty())
            return;
        writtenAtPrompt = bench.line->writes;
        // A click while the key-wait box is up: it must wait its turn.
        send(bench, QStringLiteral("\\x0c"), QStringLiteral("DisplayClear"));
    });
    send(bench, QStringLiteral("\\x1b\\k\\x40"), QStringLiteral("first"));
    QCOMPARE(bench.prompt.messages(), QStringList{QStringLiteral("Hit Enter Key!")});
    QCOMPARE(writtenAtPrompt, QList<QByteArray>{"\x1b"});
    QCOMPARE(bench.line->writes, (QList<QByteArray>{"\x1b", "\x40", "\x0c"}));
    QCOMPARE(bench.logBoard.text(),
             record("first", "PRT 1bh ffh 40h;") + record("DisplayClear", "PRT 0ch;"));
}

void TestCommandTransport::oneCodeMoreThanTheLargestIsRefused()
{
    FakeSession refused;
    QVERIFY(refused.goOnline());
    refused.logBoard.setRecording(true);
    send(refused, QStringLiteral("A").repeated(kMaxCodes + 1), QStringLiteral("huge"));
    QVERIFY(refused.prompt.messages().join(u'|').contains(QStringLiteral("131,073")));
    QCOMPARE(refused.logBoard.text() + refused.monitor.history() +
                 QString::fromLatin1(refused.line->written),
             QString());
}

void TestCommandTransport::writesCountOnlyWhatLeft_data()
{
    QTest::addColumn<int>("queue");            // the UART's kernel queue; 0: none
    QTest::addColumn<QList<qint64>>("accept"); // per write call: bytes taken, -1 fails
    QTest::addColumn<int>("stopAt");           // bytes on the wire when CTS goes low; -1: never
    QTest::addColumn<int>("sent");             // of 150; fewer is a failure
    QTest::newRow("a partial write continues at the first unwritten byte")
        << 0 << QList<qint64>{10} << -1 << 150;
    QTest::newRow("a failure drops the rest") << 0 << QList<qint64>{64, -1} << -1 << 64;
    QTest::newRow("nothing through is a failure") << 0 << QList<qint64>{} << 0 << 0;
    // A kernel queue takes 4 KB at once; only what left it counts.
    QTest::newRow("queue, running line") << 4096 << QList<qint64>{} << -1 << 150;
    QTest::newRow("queue, CTS low from the start") << 4096 << QList<qint64>{} << 0 << 0;
    QTest::newRow("queue, CTS low in the second write") << 4096 << QList<qint64>{} << 100 << 100;
}

void TestCommandTransport::writesCountOnlyWhatLeft()
{
    QFETCH(int, queue);
    QFETCH(QList<qint64>, accept);
    QFETCH(int, stopAt);
    QFETCH(int, sent);
    FakeSession session;
    const auto &line = session.line;
    line->queueCapacity = queue;
    line->accept.append(accept);
    line->heldOff = stopAt == 0;
    line->holdOffAt = stopAt > 0 ? stopAt : -1;
    QVERIFY(session.goOnline(115200)); // 11,520 bytes a second, as the line
    const QByteArray bytes = counting(150);

    const bool ok = session.writer.write(bytes);
    QCOMPARE(ok, sent == bytes.size());
    QCOMPARE(session.writer.bytesWritten(), sent); // counted exactly when it left
    QCOMPARE(session.connection.isOnline(), ok);
    QCOMPARE(session.prompt.messages(),
             ok ? QStringList() : QStringList{QStringLiteral("COM port error")});

    // The far end lets go again: what left is all that ever arrives.
    line->heldOff = false;
    QTest::qWait(50);
    line->advance();
    QCOMPARE(line->wire, bytes.left(sent));
}

// A write started from an event that ran while another waits for the line
// (CTS held low) would mix its bytes into the other's, and its end would
// clear what lets STOP abandon the one under way.
void TestCommandTransport::aWriteInsideAnotherIsRefused()
{
    FakeSession session;
    QVERIFY(session.goOnline());
    session.line->heldOff = true;
    bool nested = true;
    bool pumped = false;
    session.serialLine.setEventPump([&] {
        if (std::exchange(pumped, true))
            return;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused"));
        nested = session.writer.write("inside");
        session.writer.abandon(); // STOP
    });

    QVERIFY(!session.writer.write(QByteArray(100, 'x')));
    QVERIFY(pumped && !nested);
    QCOMPARE(session.line->written, QByteArray());
    // Abandoned, not failed: no port error, still online.
    QCOMPARE(session.prompt.messages(), QStringList());
    QVERIFY(session.connection.isOnline());
}

QTEST_GUILESS_MAIN(TestCommandTransport)
#include "tst_commandtransport.moc"
