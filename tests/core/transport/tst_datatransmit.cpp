// One command on its way out: the monitor, the Log Board, the reply, and the
// port writer every sender shares (64-byte writes, continuation after a
// partial write, and the one reaction to a port that fails).

#include "core/transport/monitorformat.h"
#include "core/transport/portwriter.h"
#include "support/fakesession.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// Everything one command passes through, over a scripted line.
struct Bench : FakeSession
{
    explicit Bench(bool online = true)
    {
        if (online)
            goOnline();
    }
    void send(const QString &text, const QString &title = QStringLiteral("t"))
    {
        transport.issue({text, title, QStringLiteral("h")});
    }
    QList<QByteArray> writes() const { return line->writes; }
};

struct RecordingSink : LogBoardSink
{
    QStringList received;
    void appendLogText(const QString &text) override { received.append(text); }
};

// The bytes 0, 1, 2... count - 1 (wrapping at 256).
QByteArray counting(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(i));
    return bytes;
}

QList<QByteArray> pieces(const QByteArray &bytes, const QList<int> &sizes)
{
    QList<QByteArray> out;
    qsizetype from = 0;
    for (const int size : sizes) {
        out << bytes.mid(from, size);
        from += size;
    }
    return out;
}

// A record as REC writes it for a command sent with Bench::send.
QString record(const char *title, const char *prt)
{
    return QStringLiteral("*** %1 ***\r\n*** h ***\r\n%2\r\n\r\n").arg(title, prt);
}

} // namespace

class TestDataTransmit : public QObject
{
    Q_OBJECT
private slots:
    void offlineShowsButSendsNothing();
    void writeSegments_data();
    void writeSegments();
    void portErrorIsToldOnce();
    void replyFormats_data();
    void replyFormats();
    void replyReadAfterRequest();
    void logBoardRecords();
    void commandDuringKeyWaitIsQueued();
    void longestCommandAndOneMore();
    void writesEveryByteOrFailsOnce_data();
    void writesEveryByteOrFailsOnce();
    void onlyBytesThatLeftCountAsSent_data();
    void onlyBytesThatLeftCountAsSent();
    void aWriteInsideAnotherIsRefused();
};

// Offline a command is shown and sends nothing; a status request still
// expects its reply, and the next command online reads past what waits.
void TestDataTransmit::offlineShowsButSendsNothing()
{
    Bench bench(false);
    bench.monitor.setResponse(QStringLiteral("old"));
    bench.transport.issue({QStringLiteral("\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"),
                           QStringLiteral("Character Brightness : Level 4 (43%)"),
                           QStringLiteral("help"), Command::Notation::Escape, false,
                           ReplyKind::FourHexBytes});
    QCOMPARE(bench.monitor.history(), QStringLiteral("[T]1F 28 67 50 04 00 00 \r\n"));
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("Character Brightness : Level 4 (43%)"));
    QCOMPARE(bench.monitor.response(), QString());
    QCOMPARE(bench.transmitter.replyKind(), ReplyKind::Unchanged);
    bench.transport.issue({QStringLiteral("\\x1f\\x28\\x65\\x40\\x02"), QStringLiteral("r"),
                           QStringLiteral("h"), Command::Notation::Escape, true,
                           ReplyKind::FourCharacters});
    QVERIFY(bench.transmitter.expectReply());
    QVERIFY(bench.writes().isEmpty());

    bench.goOnline(9600);
    bench.line->input = "stale";
    const int purgesBefore = bench.line->purges;
    bench.send(QStringLiteral("\\x1b\\x40"));
    QCOMPARE(bench.line->purges, purgesBefore + 1);
    QVERIFY(!bench.transmitter.expectReply());
}

void TestDataTransmit::writeSegments_data()
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
    QTest::newRow("flush splits") << QStringLiteral("\\x1b\\e\\x40")
                                  << QList<QByteArray>{"\x1b", "\x40"};
    QTest::newRow("flush alone writes nothing") << QStringLiteral("\\e") << QList<QByteArray>{};
    QTest::newRow("emoji is one byte")
        << QStringLiteral("\U0001F600\\x41") << QList<QByteArray>{"?A"};
}

void TestDataTransmit::writeSegments()
{
    QFETCH(QString, text);
    QFETCH(QList<QByteArray>, writes);
    Bench bench;
    bench.send(text);
    QCOMPARE(bench.writes(), writes);
}

// The port writer's own test tells how a failing port goes offline; here
// what the monitor keeps, and that the next command is simply offline.
void TestDataTransmit::portErrorIsToldOnce()
{
    Bench bench;
    bench.monitor.setResponse(QStringLiteral("old"));
    bench.line->accept.enqueue(-1);
    bench.send(QStringLiteral("\\x1b\\x40"));
    bench.send(QStringLiteral("\\x0c"));
    QCOMPARE(bench.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QCOMPARE(bench.monitor.history(), QStringLiteral("[T]1B 40 \r\n[T]0C \r\n"));
    QCOMPARE(bench.monitor.response(), QString());
}

void TestDataTransmit::replyFormats_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    const QByteArray header = QByteArray::fromHex("286540");
    QTest::newRow("kind 1 characters") << 1 << header + "1.05" << QStringLiteral("1.05");
    QTest::newRow("kind 2 hex") << 2 << header + QByteArray::fromHex("01020aff")
                                << QStringLiteral("01 02 0A FF");
    QTest::newRow("kind 3 twelve characters")
        << 3 << header + "GU256X64-7K " + "tail" << QStringLiteral("GU256X64-7K ");
    QTest::newRow("kind 4 five bytes")
        << 4 << header + QByteArray::fromHex("102030405060") << QStringLiteral("10 20 30 40 50");
    QTest::newRow("kind 2 nothing came") << 2 << QByteArray() << QStringLiteral("00 00 00 00");
    QTest::newRow("kind 0 leaves the label") << 0 << header + "abcd" << QString();
}

void TestDataTransmit::replyFormats()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QByteArray buffer = reply;
    buffer.resize(21, '\0');
    QCOMPARE(MonitorFormat::replyText(buffer, ReplyKind(kind), CodePage()), shown);
}

void TestDataTransmit::replyReadAfterRequest()
{
    Bench bench;
    bench.line->input = "stale";
    bench.line->replyOnWrite = QByteArray::fromHex("28654001020aff");
    bench.transport.issue({QStringLiteral("\\x1f\\x28\\x65\\x40\\x20\\x00\\xc0\\x00\\x40"),
                           QStringLiteral("Read Status information (Firmware checksum)"),
                           QStringLiteral("h"), Command::Notation::Escape, true,
                           ReplyKind::FourHexBytes});
    QCOMPARE(bench.line->purges, 2); // on open, then before the request
    QCOMPARE(bench.monitor.response(), QStringLiteral("01 02 0A FF"));
    QVERIFY(!bench.transmitter.expectReply());
    QCOMPARE(bench.transmitter.replyKind(), ReplyKind::Unchanged);
}

// Offline, REC off or paused records nothing; a command that converts to
// nothing records an empty PRT line and does not replay the previous bytes;
// a sink takes what the board held, then each record.
void TestDataTransmit::logBoardRecords()
{
    Bench bench(false);
    bench.send(QStringLiteral("\\x01"), QStringLiteral("not recording"));
    bench.logBoard.setRecording(true);
    bench.logBoard.setPaused(true);
    bench.send(QStringLiteral("\\x01"), QStringLiteral("paused"));
    bench.logBoard.setPaused(false);
    bench.prompt.onMessage([](const QString &) {});
    bench.transport.issue({QStringLiteral("\\x1b\\x40\\k"), QStringLiteral("Initialize"),
                           QStringLiteral("-OPcode-")});
    QCOMPARE(bench.monitor.commandName() + u'|' + bench.monitor.help(),
             QStringLiteral("Initialize|-OPcode-"));
    bench.send(QString(), QStringLiteral("Cursor type="));
    const QString board = QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\n"
                                         "PRT 1bh 40h ffh;\r\n\r\n") +
                          record("Cursor type=", "PRT;");
    QCOMPARE(bench.logBoard.text(), board);
    QCOMPARE(bench.monitor.codes(), QStringLiteral("[1b][40][ff]"));
    QCOMPARE(bench.monitor.history().count(QStringLiteral("[T]")), 3);

    RecordingSink sink;
    bench.logBoard.setSink(&sink);
    bench.send(QStringLiteral("\\x02"), QStringLiteral("one"));
    bench.send(QStringLiteral("\\x03"), QStringLiteral("two"));
    QCOMPARE(sink.received,
             (QStringList{board + record("one", "PRT 02h;"), record("two", "PRT 03h;")}));
    QCOMPARE(bench.logBoard.text(), QString());
}

void TestDataTransmit::commandDuringKeyWaitIsQueued()
{
    Bench bench;
    bench.logBoard.setRecording(true);
    QList<QByteArray> writtenAtPrompt;
    int queuedAtPrompt = -1;
    bench.prompt.onMessage([&](const QString &) {
        if (queuedAtPrompt >= 0)
            return;
        writtenAtPrompt = bench.writes();
        // A click while the key-wait box is up: it must wait its turn.
        bench.send(QStringLiteral("\\x0c"), QStringLiteral("DisplayClear"));
        queuedAtPrompt = bench.transport.queued();
    });
    bench.send(QStringLiteral("\\x1b\\k\\x40"), QStringLiteral("first"));
    QCOMPARE(bench.prompt.messages(), QStringList{QStringLiteral("Hit Enter Key!")});
    QCOMPARE(queuedAtPrompt, 1);
    QCOMPARE(writtenAtPrompt, QList<QByteArray>{"\x1b"});
    QCOMPARE(bench.writes(), (QList<QByteArray>{"\x1b", "\x40", "\x0c"}));
    QCOMPARE(bench.logBoard.text(),
             record("first", "PRT 1bh ffh 40h;") + record("DisplayClear", "PRT 0ch;"));
    QVERIFY(!bench.transport.busy());
}

void TestDataTransmit::longestCommandAndOneMore()
{
    Bench bench;
    bench.send(QStringLiteral("B").repeated(kMaxCodes));
    QCOMPARE(bench.line->written, QByteArray(kMaxCodes, 'B'));
    QCOMPARE(bench.prompt.messages(), QStringList());

    Bench refused;
    refused.logBoard.setRecording(true);
    refused.send(QStringLiteral("A").repeated(kMaxCodes + 1), QStringLiteral("huge"));
    QCOMPARE(refused.prompt.messages().size(), 1);
    QVERIFY(refused.prompt.messages()[0].contains(QStringLiteral("131,073")));
    QVERIFY(refused.writes().isEmpty());
    QCOMPARE(refused.logBoard.text() + refused.monitor.history(), QString());
}

void TestDataTransmit::writesEveryByteOrFailsOnce_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<qint64>>("accept"); // per write call: bytes taken, -1 fails
    QTest::addColumn<QList<int>>("writes");    // sizes of the writes that got through
    QTest::addColumn<bool>("ok");

    QTest::newRow("nothing to write") << 0 << QList<qint64>{} << QList<int>{} << true;
    QTest::newRow("150 bytes as 64, 64, 22")
        << 150 << QList<qint64>{} << QList<int>{64, 64, 22} << true;
    QTest::newRow("a partial write continues at the first unwritten byte")
        << 70 << QList<qint64>{10} << QList<int>{10, 54, 6} << true;
    QTest::newRow("a failure drops the rest")
        << 150 << QList<qint64>{64, -1} << QList<int>{64} << false;
    // CTS held low: the write time-out runs out with nothing through.
    QTest::newRow("nothing through is a failure")
        << 20 << QList<qint64>(200, 0) << QList<int>{} << false;
}

void TestDataTransmit::writesEveryByteOrFailsOnce()
{
    QFETCH(int, size);
    QFETCH(QList<qint64>, accept);
    QFETCH(QList<int>, writes);
    QFETCH(bool, ok);
    FakeSession session;
    QVERIFY(session.goOnline());
    const QByteArray bytes = counting(size);
    for (const qint64 n : accept)
        session.line->accept.enqueue(n);

    QCOMPARE(session.writer.write(bytes), ok);
    QCOMPARE(session.line->writes, pieces(bytes, writes));
    QCOMPARE(session.connection.isOnline(), ok);
    QCOMPARE(session.prompt.messages(),
             ok ? QStringList() : QStringList{QStringLiteral("COM port error")});
    QCOMPARE(session.serialLine.isOpen(), ok);
}

void TestDataTransmit::onlyBytesThatLeftCountAsSent_data()
{
    QTest::addColumn<int>("stopAt"); // bytes on the wire when CTS goes low; -1: never
    QTest::newRow("running line") << -1;
    QTest::newRow("CTS low from the start") << 0;
    QTest::newRow("CTS low in the second write") << 100;
}

// A UART's kernel queue takes 4 KB at once; only what left it counts.
void TestDataTransmit::onlyBytesThatLeftCountAsSent()
{
    QFETCH(int, stopAt);
    FakeSession session;
    const auto &line = session.line;
    line->queueCapacity = 4096;
    line->heldOff = stopAt == 0;
    line->holdOffAt = stopAt > 0 ? stopAt : -1;
    QVERIFY(session.goOnline(115200)); // 11,520 bytes a second, as the line
    const QByteArray bytes = counting(150);

    const bool ok = session.writer.write(bytes);
    QCOMPARE(ok, stopAt < 0);
    line->advance();
    QCOMPARE(session.writer.bytesWritten(), line->wire.size()); // counted exactly when it left
    QCOMPARE(line->wire, bytes.left(line->wire.size()));
    QCOMPARE(session.connection.isOnline(), ok);
    QCOMPARE(session.prompt.messages(),
             ok ? QStringList() : QStringList{QStringLiteral("COM port error")});
    if (ok)
        return;
    QCOMPARE(line->wire.size(), stopAt);
    QCOMPARE(session.prompt.failures().size(), 1);
    const Error timedOut = session.prompt.failures().constFirst();
    QCOMPARE(timedOut.step(), QStringLiteral("CommWrite (WriteFile)"));
    QVERIFY2(timedOut.text.startsWith(QStringLiteral("write timed out: ")) &&
                 timedOut.text.endsWith(QStringLiteral(" bytes left the port")),
             qPrintable(timedOut.text));

    // The far end lets go again: nothing of the failed command follows.
    const qsizetype sent = line->wire.size();
    line->heldOff = false;
    QTest::qWait(50);
    line->advance();
    QCOMPARE(line->wire.size(), sent);
    QVERIFY(line->queue.isEmpty());
}

// A write started from an event that ran while another waits for the line
// (CTS held low) would mix its bytes into the other's, and its end would
// clear what lets STOP abandon the one under way.
void TestDataTransmit::aWriteInsideAnotherIsRefused()
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
    QVERIFY(pumped);
    QVERIFY(!nested);
    QCOMPARE(session.line->written, QByteArray());
    // Abandoned, not failed: no port error, still online.
    QCOMPARE(session.prompt.messages(), QStringList());
    QVERIFY(session.connection.isOnline());
}

QTEST_GUILESS_MAIN(TestDataTransmit)
#include "tst_datatransmit.moc"
