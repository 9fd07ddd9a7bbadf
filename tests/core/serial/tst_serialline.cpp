// SerialLine's own rules, against a scripted line where a real one cannot show them.

#include "support/fakeserialdevice.h"

#include "core/serial/serialline.h"

#include <QSignalSpy>
#include <QTest>

#include <cerrno>

#include <memory>

namespace {

struct Rig
{
    std::shared_ptr<FakeSerialDevice::Line> line = std::make_shared<FakeSerialDevice::Line>();
    SerialLine port{FakeSerialDevice::factory(line)};

    Result<void> open()
    {
        return port.open(PortAddress::device("/dev/fake"), {38400, FlowControl::CtsHandshake});
    }
};

// A count, or -1 for a failure, so that a failure shows in the comparison.
int count(const Result<int> &result)
{
    return result ? *result : -1;
}

// Writes on as PortWriter does: each call from the first byte that did not leave.
int writeOn(SerialLine &port, const QByteArray &bytes, Result<int> *last)
{
    int done = 0;
    while (done < bytes.size()) {
        *last = port.write(QByteArrayView(bytes).sliced(done));
        if (count(*last) < 1)
            break;
        done += **last;
    }
    return done;
}

} // namespace

class SerialLineTest : public QObject
{
    Q_OBJECT

private slots:
    void writeReturnsWhatWasAcceptedWhenTimeRunsOut();
    void writesThatDoNotWaitShareTheWindowsTurns();
    void stoppedQueueDropsWhatDidNotLeave();
    void bytesGivenUpAreNeverSent();
    void vanishedDeviceKeepsItsCause();
    void settingsTheLineRefusesCloseTheDevice();
    void readTakesWhatIsWaiting_data();
    void readTakesWhatIsWaiting();
};

void SerialLineTest::writeReturnsWhatWasAcceptedWhenTimeRunsOut()
{
    Rig rig;
    // 2 ms per byte: a 10-byte write gives up after 20 ms.
    rig.port.setTimeouts(SerialLine::kReadTimeoutMs, 2);
    QVERIFY(rig.open());
    rig.line->accept.enqueue(3);
    for (int i = 0; i < 100000; ++i)
        rig.line->accept.enqueue(0); // CTS held low from here on

    QCOMPARE(count(rig.port.write("0123456789")), 3);
    QCOMPARE(rig.line->written, QByteArray("012"));
    QVERIFY(rig.port.isOpen());
    // The rest gets nothing out in its own time: that write fails.
    const Result<int> rest = rig.port.write("3456789");
    QVERIFY(!rest);
    QCOMPARE(rest.error().code, ETIMEDOUT);
    QCOMPARE(rest.error().text, QStringLiteral("write timed out: 0 of 7 bytes left the port"));
    QCOMPARE(rig.line->written, QByteArray("012"));
}

void SerialLineTest::writesThatDoNotWaitShareTheWindowsTurns()
{
    Rig rig;
    QVERIFY(rig.open());
    int pumps = 0;
    rig.port.setEventPump([&pumps] { ++pumps; });
    const QByteArray chunk(64, 'U');
    QCOMPARE(count(rig.port.write(chunk)), 64);
    QCOMPARE(pumps, 1); // the first write of a run gives the window its turn at once
    // A line that takes everything at once: a hundred writes within a few
    // milliseconds share turns instead of polling for events after each.
    for (int i = 0; i < 100; ++i)
        QCOMPARE(count(rig.port.write(chunk)), 64);
    QVERIFY2(pumps <= 20, qPrintable(QString::number(pumps)));
    QCOMPARE(rig.line->written.size(), 101 * 64);
}

void SerialLineTest::stoppedQueueDropsWhatDidNotLeave()
{
    Rig rig;
    rig.line->queueCapacity = 4096;
    rig.line->holdOffAt = 3; // CTS goes low after three bytes
    rig.port.setTimeouts(SerialLine::kReadTimeoutMs, 2);
    QVERIFY(rig.open());
    QByteArray told; // what listeners heard left the port
    connect(&rig.port, &SerialLine::sent, this, [&told](QByteArrayView bytes) { told += bytes; });

    Result<int> last = 0;
    QCOMPARE(writeOn(rig.port, "0123456789", &last), 3);
    QVERIFY(!last);
    QCOMPARE(rig.line->written, QByteArray("0123456789")); // the kernel took it all
    QCOMPARE(rig.line->wire, QByteArray("012"));
    QCOMPARE(rig.line->purgedFromQueue, 7);
    QCOMPARE(rig.port.bytesInFlight(), 0);
    QCOMPARE(last.error().text, QStringLiteral("write timed out: 0 of 7 bytes left the port"));

    rig.line->heldOff = false;
    QCOMPARE(writeOn(rig.port, "ab", &last), 2); // the line runs again: new bytes only
    QTRY_COMPARE(rig.line->reportedQueue(), 0);
    QCOMPARE(rig.line->wire, QByteArray("012ab"));
    QCOMPARE(told, rig.line->wire);
}

void SerialLineTest::bytesGivenUpAreNeverSent()
{
    Rig rig;
    rig.line->queueCapacity = 4096;
    rig.line->lineRate = 1000; // a millisecond a byte
    QVERIFY(rig.open());
    const QByteArray first(64, 'A');
    const int left = count(rig.port.write(first));
    // Back early, with the rest still queued: the line does not fall idle.
    QVERIFY2(left >= 1 && left < 64, qPrintable(QString::number(left)));
    QCOMPARE(rig.port.bytesInFlight(), 64 - left);

    // The caller does not go on with them (it failed, or went another way).
    QCOMPARE(count(rig.port.write("B")), 1);
    QCOMPARE(rig.port.bytesInFlight(), 0);
    QTRY_COMPARE(rig.line->reportedQueue(), 0);
    QCOMPARE(rig.line->wire.count('A') + rig.line->purgedFromQueue, 64);
    QVERIFY(rig.line->wire.endsWith("B"));
    QVERIFY(rig.line->wire.count('A') >= left);
}

void SerialLineTest::vanishedDeviceKeepsItsCause()
{
    Rig rig;
    QVERIFY(rig.open());
    // Unplugged while the window runs after a write that got through.
    rig.port.setEventPump([&rig] {
        if (auto *device = qobject_cast<FakeSerialDevice *>(rig.port.device()))
            device->vanish();
    });
    QSignalSpy lost(&rig.port, &SerialLine::lost);
    QCOMPARE(count(rig.port.write("abc")), 3);
    QVERIFY(!rig.port.isOpen());
    QCOMPARE(lost.size(), 0); // lost in the middle of a call: that call's caller is told

    // The next write tells the hang-up, not a misleading "not open".
    const Result<int> after = rig.port.write("def");
    QVERIFY(!after);
    QCOMPARE(after.error().text, QStringLiteral("Input/output error"));

    // Offline and online again: a closed port is just that.
    rig.port.close();
    const Result<int> closed = rig.port.write("ghi");
    QVERIFY(!closed);
    QCOMPARE(closed.error().text, QStringLiteral("The port is not open."));
}

void SerialLineTest::settingsTheLineRefusesCloseTheDevice()
{
    Rig rig;
    rig.line->failSettings = true;
    const Result<void> opened = rig.open();
    QVERIFY(!opened);
    QCOMPARE(opened.error().step(), QStringLiteral("CommOpen (SetCommState)"));
    // Not left open with settings that were never applied.
    QVERIFY(!rig.port.isOpen());
    QVERIFY(!rig.line->isOpen);
}

void SerialLineTest::readTakesWhatIsWaiting_data()
{
    QTest::addColumn<int>("waiting");
    QTest::addColumn<int>("first");  // the first read's result, of 20 asked
    QTest::addColumn<int>("second"); // what a second read then finds
    QTest::newRow("nothing waiting returns at once") << 0 << 0 << 0;
    QTest::newRow("fewer than asked, after the time-out") << 5 << 5 << 0;
    QTest::newRow("more than asked stores only size") << 30 << 20 << 10;
}

void SerialLineTest::readTakesWhatIsWaiting()
{
    QFETCH(int, waiting);
    QFETCH(int, first);
    QFETCH(int, second);
    Rig rig;
    rig.port.setTimeouts(60, SerialLine::kWriteTimeoutPerByteMs);
    QVERIFY(rig.open());
    int pumps = 0;
    rig.port.setEventPump([&pumps] { ++pumps; });
    for (int i = 0; i < waiting; ++i)
        rig.line->input.append(char(0xA0 + i));
    const QByteArray sent = rig.line->input;

    const Result<QByteArray> firstRead = rig.port.read(20);
    QVERIFY(firstRead);
    QCOMPARE(*firstRead, sent.left(first));
    // Waiting out the time-out, the window runs throughout; with nothing
    // waiting there is no wait at all.
    const bool waited = first > 0 && first < 20;
    QVERIFY2(waited ? pumps > 2 : pumps <= 1, qPrintable(QString::number(pumps)));
    const Result<QByteArray> secondRead = rig.port.read(20);
    QVERIFY(secondRead);
    QCOMPARE(*secondRead, sent.mid(first, second));
}

QTEST_GUILESS_MAIN(SerialLineTest)
#include "tst_serialline.moc"
