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

} // namespace

class SerialLineTest : public QObject
{
    Q_OBJECT

private slots:
    void writesThatDoNotWaitShareTheWindowsTurns();
    void stoppedQueueDropsWhatDidNotLeave();
    void bytesGivenUpAreNeverSent();
    void vanishedDeviceKeepsItsCause();
    void settingsTheLineRefusesCloseTheDevice();
    void readTakesWhatIsWaiting_data();
    void readTakesWhatIsWaiting();
};

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
}

// CTS goes low after three bytes: the write that got them out returns 3, the
// next one gets nothing out in its own time and fails, and what waited in the
// kernel queue is dropped, not sent once the line runs again.
void SerialLineTest::stoppedQueueDropsWhatDidNotLeave()
{
    Rig rig;
    rig.line->queueCapacity = 4096;
    rig.line->holdOffAt = 3;
    rig.port.setTimeouts(SerialLine::kReadTimeoutMs, 2); // 2 ms per byte
    QVERIFY(rig.open());
    QByteArray told; // what listeners heard left the port
    connect(&rig.port, &SerialLine::sent, this, [&told](QByteArrayView bytes) { told += bytes; });

    // Written on as PortWriter does: from the first byte that did not leave.
    const QByteArray bytes("0123456789");
    QCOMPARE(count(rig.port.write(bytes)), 3);
    const Result<int> rest = rig.port.write(QByteArrayView(bytes).sliced(3));
    QVERIFY(!rest);
    QCOMPARE(rest.error().code, ETIMEDOUT);
    QCOMPARE(rest.error().step() + u'|' + rest.error().text,
             QStringLiteral("CommWrite (WriteFile)|write timed out: 0 of 7 bytes left the port"));
    QCOMPARE(rig.line->written, QByteArray("0123456789")); // the kernel took it all
    QCOMPARE(rig.line->purgedFromQueue, 7);
    QCOMPARE(rig.port.bytesInFlight(), 0);

    rig.line->heldOff = false;
    QCOMPARE(count(rig.port.write("ab")), 2); // the line runs again: new bytes only
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
    const int left = count(rig.port.write(QByteArray(64, 'A')));
    // Back early, with the rest still queued: the line does not fall idle.
    QVERIFY2(left >= 1 && left < 64, qPrintable(QString::number(left)));
    QCOMPARE(rig.port.bytesInFlight(), 64 - left);

    // The caller does not go on with them (it failed, or went another way).
    QCOMPARE(count(rig.port.write("B")), 1);
    QCOMPARE(rig.port.bytesInFlight(), 0);
    QTRY_COMPARE(rig.line->reportedQueue(), 0);
    QCOMPARE(rig.line->wire.count('A') + rig.line->purgedFromQueue, 64);
    QVERIFY(rig.line->wire.endsWith("B") && rig.line->wire.count('A') >= left);
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

    // The next write tells the hang-up, not a misleading "not open"; once
    // closed by the user, a closed port is just that.
    const Result<int> after = rig.port.write("def");
    rig.port.close();
    const Result<int> closed = rig.port.write("ghi");
    QVERIFY(!after && !closed);
    QCOMPARE(after.error().text + u'|' + closed.error().text,
             QStringLiteral("Input/output error|The port is not open."));
}

void SerialLineTest::settingsTheLineRefusesCloseTheDevice()
{
    Rig rig;
    rig.line->failSettings = true;
    const Result<void> opened = rig.open();
    QVERIFY(!opened);
    QCOMPARE(opened.error().step(), QStringLiteral("CommOpen (SetCommState)"));
    // Not left open with settings that were never applied.
    QVERIFY(!rig.port.isOpen() && !rig.line->isOpen);
}

void SerialLineTest::readTakesWhatIsWaiting_data()
{
    QTest::addColumn<int>("waiting");
    QTest::addColumn<int>("first"); // the first read's result, of 20 asked; a second takes the rest
    QTest::newRow("nothing waiting returns at once") << 0 << 0;
    QTest::newRow("fewer than asked, after the time-out") << 5 << 5;
    QTest::newRow("more than asked stores only size") << 30 << 20;
}

void SerialLineTest::readTakesWhatIsWaiting()
{
    QFETCH(int, waiting);
    QFETCH(int, first);
    Rig rig;
    rig.port.setTimeouts(60, SerialLine::kWriteTimeoutPerByteMs);
    QVERIFY(rig.open());
    int pumps = 0;
    rig.port.setEventPump([&pumps] { ++pumps; });
    for (int i = 0; i < waiting; ++i)
        rig.line->input.append(char(0xA0 + i));
    const QByteArray sent = rig.line->input;

    QCOMPARE(rig.port.read(20).value(), sent.left(first));
    // Waiting out the time-out, the window runs throughout; with nothing
    // waiting there is no wait at all.
    const bool waited = first > 0 && first < 20;
    QVERIFY2(waited ? pumps > 2 : pumps <= 1, qPrintable(QString::number(pumps)));
    QCOMPARE(rig.port.read(20).value(), sent.mid(first));
}

QTEST_GUILESS_MAIN(SerialLineTest)
#include "tst_serialline.moc"
