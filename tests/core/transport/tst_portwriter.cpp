// The port writer every sender shares: 64-byte writes, continuation after a
// partial write, and the one reaction to a port that fails.

#include "core/transport/portwriter.h"
#include "support/fakesession.h"

#include <QRegularExpression>
#include <QTest>

namespace {

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

} // namespace

class TestPortWriter : public QObject
{
    Q_OBJECT
private slots:
    void writesEveryByteOrFailsOnce_data();
    void writesEveryByteOrFailsOnce();
    void onlyBytesThatLeftCountAsSent_data();
    void onlyBytesThatLeftCountAsSent();
    void aWriteInsideAnotherIsRefused();
};

void TestPortWriter::writesEveryByteOrFailsOnce_data()
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

void TestPortWriter::writesEveryByteOrFailsOnce()
{
    QFETCH(int, size);
    QFETCH(QList<qint64>, accept);
    QFETCH(QList<int>, writes);
    QFETCH(bool, ok);
    FakeSession session;
    QVERIFY(session.goOnline());
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(char(i));
    for (const qint64 n : accept)
        session.line->accept.enqueue(n);

    QCOMPARE(session.writer.write(bytes), ok);
    QCOMPARE(session.line->writes, pieces(bytes, writes));
    QCOMPARE(session.connection.isOnline(), ok);
    QCOMPARE(session.prompt.messages(),
             ok ? QStringList() : QStringList{QStringLiteral("COM port error")});
    QCOMPARE(session.serialLine.isOpen(), ok);
}

void TestPortWriter::onlyBytesThatLeftCountAsSent_data()
{
    QTest::addColumn<int>("stopAt"); // bytes on the wire when CTS goes low; -1: never
    QTest::newRow("running line") << -1;
    QTest::newRow("CTS low from the start") << 0;
    QTest::newRow("CTS low in the second write") << 100;
}

// A UART's kernel queue takes 4 KB at once; only what left it counts.
void TestPortWriter::onlyBytesThatLeftCountAsSent()
{
    QFETCH(int, stopAt);
    FakeSession session;
    const auto &line = session.line;
    line->queueCapacity = 4096;
    line->heldOff = stopAt == 0;
    line->holdOffAt = stopAt > 0 ? stopAt : -1;
    QVERIFY(session.goOnline(115200)); // 11,520 bytes a second, as the line
    QByteArray bytes;
    for (int i = 0; i < 150; ++i)
        bytes.append(char(i));

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
void TestPortWriter::aWriteInsideAnotherIsRefused()
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

QTEST_GUILESS_MAIN(TestPortWriter)
#include "tst_portwriter.moc"
