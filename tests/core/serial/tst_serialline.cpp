// SerialLine's own rules, against a scripted line where a real one cannot show them.

#include "support/fakeserialdevice.h"

#include "core/serial/serialline.h"

#include <QSignalSpy>
#include <QTest>

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
    void theWindowGetsItsTurns();
    void stoppedQueueDropsWhatDidNotLeave();
    void bytesGivenUpAreNeverSent();
    void vanishedDeviceKeepsItsCause();
    void settingsTheLineRefusesCloseTheDevice();
    void replyIsHeardAfterItsRequest();
};

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
    QCOMPARE(rest.error().kind, Error::Kind::PortWrite);
    QCOMPARE(rest.error().text, QStringLiteral("write timed out: 0 of 7 bytes left the port"));
    QCOMPARE(rig.line->purgedFromQueue, 7);

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
    QCOMPARE(opened.error().kind, Error::Kind::PortApply);
    // Not left open with settings that were never applied.
    QVERIFY(!rig.port.isOpen() && !rig.line->isOpen);
}

// Writes on a line that takes everything at once share the window's turns
// instead of polling for events after each. A read takes no more than it asks
// for, at once; with fewer bytes waiting it waits out its time-out, the window
// running throughout; with none waiting it returns at once.
void SerialLineTest::theWindowGetsItsTurns()
{
    Rig rig;
    rig.port.setTimeouts(60, SerialLine::kWriteTimeoutPerByteMs);
    QVERIFY(rig.open());
    int pumps = 0;
    rig.port.setEventPump([&pumps] { ++pumps; });
    const QByteArray chunk(64, 'U');
    QCOMPARE(count(rig.port.write(chunk)), 64);
    QCOMPARE(pumps, 1); // the first write of a run gives the window its turn at once
    for (int i = 0; i < 100; ++i)
        QCOMPARE(count(rig.port.write(chunk)), 64);
    QVERIFY2(pumps <= 20, qPrintable(QString::number(pumps)));

    for (int i = 0; i < 30; ++i)
        rig.line->input.append(char(0xA0 + i));
    const QByteArray sent = rig.line->input;
    QList<QByteArray> reads;
    QList<int> pumped;
    for (int i = 0; i < 3; ++i) {
        pumps = 0;
        reads << rig.port.read(20).value();
        pumped << std::min(pumps, 3); // 3: waited, the window running meanwhile
    }
    QCOMPARE(reads, (QList<QByteArray>{sent.left(20), sent.mid(20), QByteArray()}));
    QCOMPARE(pumped, (QList<int>{1, 3, 1}));
}

// Whoever follows the line (the tap's shadow module) must hear a command before
// the reply it provoked, even when the reply is read while the write lets the
// window run.
void SerialLineTest::replyIsHeardAfterItsRequest()
{
    Rig rig;
    QVERIFY(rig.open());
    QStringList heard;
    connect(&rig.port, &SerialLine::sent, this,
            [&heard](QByteArrayView b) { heard << "sent " + b.toByteArray(); });
    connect(&rig.port, &SerialLine::received, this,
            [&heard](QByteArrayView b) { heard << "received " + b.toByteArray(); });
    rig.port.setEventPump([&rig] { static_cast<void>(rig.port.readWaiting(64)); });
    rig.line->replyOnWrite = "R";
    QCOMPARE(count(rig.port.write("Q")), 1);
    QCOMPARE(heard, QStringList({"sent Q", "received R"}));
}

QTEST_GUILESS_MAIN(SerialLineTest)
#include "tst_serialline.moc"
