#include "core/transport/monitorformat.h"
#include "support/fakesession.h"

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

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v));
    return out;
}

} // namespace

class TestDataTransmit : public QObject
{
    Q_OBJECT
private slots:
    void offlineShowsButSendsNothing();
    void writeSegments_data();
    void writeSegments();
    void portErrorGoesOffline();
    void replyFormats_data();
    void replyFormats();
    void replyReadAfterRequest();
    void requestOfflineKeepsExpectingReply();
    void logBoardRecords();
    void emptyConversionRecordsNoBytes();
    void sinkTakesRecordsInOrder();
    void commandDuringKeyWaitIsQueued();
    void longestCommandAndOneMore();
};

void TestDataTransmit::offlineShowsButSendsNothing()
{
    Bench bench(false);
    bench.monitor.setResponse(QStringLiteral("old"));
    bench.transport.issue({QStringLiteral("\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"),
                           QStringLiteral("Character Brightness : Level 4 (43%)"),
                           QStringLiteral("help"), Command::Notation::Escape, false,
                           ReplyKind::FourHexBytes});
    QVERIFY(bench.writes().isEmpty());
    QCOMPARE(bench.monitor.history(), QStringLiteral("[T]1F 28 67 50 04 00 00 \r\n"));
    QCOMPARE(bench.monitor.response(), QString());
    QCOMPARE(bench.transmitter.replyKind(), ReplyKind::Unchanged);
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("Character Brightness : Level 4 (43%)"));
}

void TestDataTransmit::writeSegments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QByteArray>>("writes");
    // The 64-byte writes themselves are the port writer's test.
    QTest::newRow("pause keeps one write")
        << QStringLiteral("\\x1b\\w\\x40") << QList<QByteArray>{bytes({0x1B, 0x40})};
    // 64 bytes went the moment they were full; the other 36 wait for the pause
    // and join the bytes after it.
    QTest::newRow("pause after 100 bytes")
        << QStringLiteral("A").repeated(100) + QStringLiteral("\\w") +
               QStringLiteral("B").repeated(50)
        << QList<QByteArray>{QByteArray(64, 'A'), QByteArray(36, 'A') + QByteArray(28, 'B'),
                             QByteArray(22, 'B')};
    QTest::newRow("flush splits") << QStringLiteral("\\x1b\\e\\x40")
                                  << QList<QByteArray>{bytes({0x1B}), bytes({0x40})};
    QTest::newRow("flush alone writes nothing") << QStringLiteral("\\e") << QList<QByteArray>{};
    QTest::newRow("emoji is one byte")
        << QStringLiteral("\U0001F600\\x41") << QList<QByteArray>{bytes({0x3F, 0x41})};
}

void TestDataTransmit::writeSegments()
{
    QFETCH(QString, text);
    QFETCH(QList<QByteArray>, writes);
    Bench bench;
    bench.send(text);
    QCOMPARE(bench.writes(), writes);
}

void TestDataTransmit::portErrorGoesOffline()
{
    Bench bench;
    int stateChanges = 0;
    connect(&bench.connection, &Connection::stateChanged, [&] { ++stateChanges; });
    bench.monitor.setResponse(QStringLiteral("old"));
    bench.line->accept.enqueue(-1);
    bench.send(QStringLiteral("\\x1b\\x40"));
    QCOMPARE(bench.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!bench.connection.isOnline());
    QVERIFY(!bench.serialLine.isOpen());
    QVERIFY(stateChanges >= 1);
    // The monitor still shows the command, and the reply label is emptied.
    QCOMPARE(bench.monitor.history(), QStringLiteral("[T]1B 40 \r\n"));
    QCOMPARE(bench.monitor.response(), QString());

    // The next command is simply offline: no second message.
    bench.send(QStringLiteral("\\x1b\\x40"));
    QCOMPARE(bench.prompt.messages().size(), 1);
}

void TestDataTransmit::replyFormats_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    const QByteArray header = bytes({0x28, 0x65, 0x40});
    QTest::newRow("kind 1 characters") << 1 << header + "1.05" << QStringLiteral("1.05");
    QTest::newRow("kind 2 hex") << 2 << header + bytes({0x01, 0x02, 0x0A, 0xFF})
                                << QStringLiteral("01 02 0A FF");
    QTest::newRow("kind 3 twelve characters")
        << 3 << header + "GU256X64-7K " + "tail" << QStringLiteral("GU256X64-7K ");
    QTest::newRow("kind 4 five bytes") << 4 << header + bytes({0x10, 0x20, 0x30, 0x40, 0x50, 0x60})
                                       << QStringLiteral("10 20 30 40 50");
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
    bench.line->replyOnWrite = bytes({0x28, 0x65, 0x40, 0x01, 0x02, 0x0A, 0xFF});
    bench.transport.issue({QStringLiteral("\\x1f\\x28\\x65\\x40\\x20\\x00\\xc0\\x00\\x40"),
                           QStringLiteral("Read Status information (Firmware checksum)"),
                           QStringLiteral("h"), Command::Notation::Escape, true,
                           ReplyKind::FourHexBytes});
    QCOMPARE(bench.line->purges, 2); // on open, then before the request
    QCOMPARE(bench.monitor.response(), QStringLiteral("01 02 0A FF"));
    QVERIFY(!bench.transmitter.expectReply());
    QCOMPARE(bench.transmitter.replyKind(), ReplyKind::Unchanged);
}

void TestDataTransmit::requestOfflineKeepsExpectingReply()
{
    Bench bench(false);
    bench.transport.issue({QStringLiteral("\\x1f\\x28\\x65\\x40\\x02"), QStringLiteral("r"),
                           QStringLiteral("h"), Command::Notation::Escape, true,
                           ReplyKind::FourCharacters});
    QVERIFY(bench.transmitter.expectReply());
    QCOMPARE(bench.monitor.response(), QString());

    bench.goOnline(9600);
    bench.line->input = "stale";
    const int purgesBefore = bench.line->purges;
    bench.send(QStringLiteral("\\x1b\\x40"));
    QCOMPARE(bench.line->purges, purgesBefore + 1);
    QVERIFY(!bench.transmitter.expectReply());
}

void TestDataTransmit::logBoardRecords()
{
    Bench bench(false);
    bench.send(QStringLiteral("\\x1b\\x40"));
    QCOMPARE(bench.logBoard.text(), QString());

    bench.logBoard.setRecording(true);
    bench.logBoard.setPaused(true);
    bench.send(QStringLiteral("\\x1b\\x40"));
    QCOMPARE(bench.logBoard.text(), QString());

    bench.logBoard.setPaused(false);
    bench.prompt.onMessage([](const QString &) {});
    bench.transport.issue({QStringLiteral("\\x1b\\x40\\k"), QStringLiteral("Initialize"),
                           QStringLiteral("-OPcode-")});
    QCOMPARE(bench.logBoard.text(),
             QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h ffh;\r\n\r\n"));
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("Initialize"));
    QCOMPARE(bench.monitor.help(), QStringLiteral("-OPcode-"));
}

void TestDataTransmit::emptyConversionRecordsNoBytes()
{
    // A command that converts to nothing must not replay the previous command's bytes.
    Bench bench(false);
    bench.logBoard.setRecording(true);
    bench.send(QStringLiteral("\\x1b\\x40"), QStringLiteral("first"));
    bench.send(QString(), QStringLiteral("Cursor type="));
    QVERIFY(bench.logBoard.text().endsWith(
        QStringLiteral("*** Cursor type= ***\r\n*** h ***\r\nPRT;\r\n\r\n")));
    // The code box still shows the last bytes that really went out.
    QCOMPARE(bench.monitor.codes(), QStringLiteral("[1b][40]"));
    QCOMPARE(bench.monitor.history().count(QStringLiteral("[T]")), 1);
}

void TestDataTransmit::sinkTakesRecordsInOrder()
{
    Bench bench(false);
    bench.logBoard.setRecording(true);
    bench.send(QStringLiteral("\\x01"), QStringLiteral("before"));
    RecordingSink sink;
    bench.logBoard.setSink(&sink);
    bench.send(QStringLiteral("\\x02"), QStringLiteral("one"));
    bench.send(QStringLiteral("\\x03"), QStringLiteral("two"));
    QCOMPARE(sink.received.size(), 2);
    QVERIFY(sink.received[0].startsWith(QStringLiteral("*** before ***")));
    QVERIFY(sink.received[0].contains(QStringLiteral("*** one ***")));
    QVERIFY(sink.received[1].startsWith(QStringLiteral("*** two ***")));
    QCOMPARE(bench.logBoard.text(), QString());
}

void TestDataTransmit::commandDuringKeyWaitIsQueued()
{
    Bench bench;
    bench.logBoard.setRecording(true);
    QList<QByteArray> writtenAtPrompt;
    bench.prompt.onMessage([&](const QString &) {
        if (!writtenAtPrompt.isEmpty())
            return;
        writtenAtPrompt = bench.writes();
        // A click while the key-wait box is up: it must wait its turn.
        bench.send(QStringLiteral("\\x0c"), QStringLiteral("DisplayClear"));
        QCOMPARE(bench.transport.queued(), 1);
    });
    bench.send(QStringLiteral("\\x1b\\k\\x40"), QStringLiteral("first"));
    QCOMPARE(bench.prompt.messages(), QStringList{QStringLiteral("Hit Enter Key!")});
    QCOMPARE(writtenAtPrompt, QList<QByteArray>{bytes({0x1B})});
    QCOMPARE(bench.writes(), (QList<QByteArray>{bytes({0x1B}), bytes({0x40}), bytes({0x0C})}));
    const QString log = bench.logBoard.text();
    QVERIFY(log.indexOf(QStringLiteral("*** first ***")) <
            log.indexOf(QStringLiteral("*** DisplayClear ***")));
    QVERIFY(log.contains(QStringLiteral("PRT 1bh ffh 40h;")));
    QVERIFY(log.contains(QStringLiteral("PRT 0ch;")));
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("DisplayClear"));
    QVERIFY(!bench.transport.busy());
}

void TestDataTransmit::longestCommandAndOneMore()
{
    Bench bench;
    bench.logBoard.setRecording(true);
    bench.send(QStringLiteral("B").repeated(kMaxCodes));
    QCOMPARE(bench.line->written.size(), kMaxCodes);
    QCOMPARE(bench.writes().size(), (kMaxCodes + 63) / 64);
    QCOMPARE(bench.prompt.messages(), QStringList());

    Bench refused;
    refused.logBoard.setRecording(true);
    refused.send(QStringLiteral("A").repeated(kMaxCodes + 1), QStringLiteral("huge"));
    QCOMPARE(refused.prompt.messages().size(), 1);
    QVERIFY(refused.prompt.messages()[0].contains(QStringLiteral("131,073")));
    QVERIFY(refused.writes().isEmpty());
    QCOMPARE(refused.logBoard.text(), QString());
    QCOMPARE(refused.monitor.history(), QString());
}

QTEST_GUILESS_MAIN(TestDataTransmit)
#include "tst_datatransmit.moc"
