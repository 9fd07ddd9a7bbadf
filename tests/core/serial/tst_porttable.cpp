// PortTable's own rules, against a scripted line where a real one cannot show them.

#include "support/fakeserialdevice.h"

#include "core/serial/porttable.h"

#include <QTest>

#include <cerrno>

#include <memory>

namespace {

struct Rig
{
    std::shared_ptr<FakeSerialDevice::Line> line = std::make_shared<FakeSerialDevice::Line>();
    PortTable ports{FakeSerialDevice::factory(line)};

    int open()
    {
        return ports.CommOpen(1, "/dev/fake", "baud=38400 parity=N data=8 stop=1 octs=on");
    }
};

// Writes on as PortWriter does: each call from the first byte that did not leave.
int writeOn(PortTable &ports, const QByteArray &bytes, int *lastResult)
{
    int done = 0;
    while (done < bytes.size()) {
        *lastResult = ports.CommWrite(1, bytes, int(bytes.size()) - done, done);
        if (*lastResult < 1)
            break;
        done += *lastResult;
    }
    return done;
}

} // namespace

class PortTableTest : public QObject
{
    Q_OBJECT

private slots:
    void writeReturnsWhatWasAcceptedWhenTimeRunsOut();
    void writesThatDoNotWaitShareTheWindowsTurns();
    void stoppedQueueDropsWhatDidNotLeave();
    void bytesGivenUpAreNeverSent();
    void vanishedDeviceKeepsItsCause();
    void settingsTheLineRefusesCloseTheDevice();
};

void PortTableTest::writeReturnsWhatWasAcceptedWhenTimeRunsOut()
{
    Rig rig;
    // 2 ms per byte: a 10-byte write gives up after 20 ms.
    rig.ports.setTimeouts(PortTable::kReadTimeoutMs, 2);
    QCOMPARE(rig.open(), 0);
    rig.line->accept.enqueue(3);
    for (int i = 0; i < 100000; ++i)
        rig.line->accept.enqueue(0); // CTS held low from here on

    QCOMPARE(rig.ports.CommWrite(1, "0123456789", 10, 0), 3);
    QCOMPARE(rig.line->written, QByteArray("012"));
    QVERIFY(rig.ports.isOpen(1));
    QCOMPARE(rig.ports.lastCommError().code, ETIMEDOUT);
    QCOMPARE(rig.ports.lastCommError().message,
             QStringLiteral("write timed out: 3 of 10 bytes left the port"));
}

void PortTableTest::writesThatDoNotWaitShareTheWindowsTurns()
{
    Rig rig;
    QCOMPARE(rig.open(), 0);
    int pumps = 0;
    rig.ports.setEventPump([&pumps] { ++pumps; });
    const QByteArray chunk(64, 'U');
    QCOMPARE(rig.ports.CommWrite(1, chunk, 64, 0), 64);
    QCOMPARE(pumps, 1); // the first write of a run gives the window its turn at once
    // A line that takes everything at once: a hundred writes within a few
    // milliseconds share turns instead of polling for events after each.
    for (int i = 0; i < 100; ++i)
        QCOMPARE(rig.ports.CommWrite(1, chunk, 64, 0), 64);
    QVERIFY2(pumps <= 20, qPrintable(QString::number(pumps)));
    QCOMPARE(rig.line->written.size(), 101 * 64);
}

void PortTableTest::stoppedQueueDropsWhatDidNotLeave()
{
    Rig rig;
    rig.line->queueCapacity = 4096;
    rig.line->holdOffAt = 3; // CTS goes low after three bytes
    rig.ports.setTimeouts(PortTable::kReadTimeoutMs, 2);
    QCOMPARE(rig.open(), 0);

    int last = 0;
    QCOMPARE(writeOn(rig.ports, "0123456789", &last), 3);
    QCOMPARE(last, 0);
    QCOMPARE(rig.line->written, QByteArray("0123456789")); // the kernel took it all
    QCOMPARE(rig.line->wire, QByteArray("012"));
    QCOMPARE(rig.line->purgedFromQueue, 7);
    QCOMPARE(rig.ports.bytesInFlight(1), 0);
    QCOMPARE(rig.ports.lastCommError().message,
             QStringLiteral("write timed out: 0 of 7 bytes left the port"));

    rig.line->heldOff = false;
    QCOMPARE(writeOn(rig.ports, "ab", &last), 2); // the line runs again: new bytes only
    QTRY_COMPARE(rig.line->reportedQueue(), 0);
    QCOMPARE(rig.line->wire, QByteArray("012ab"));
}

void PortTableTest::bytesGivenUpAreNeverSent()
{
    Rig rig;
    rig.line->queueCapacity = 4096;
    rig.line->lineRate = 1000; // a millisecond a byte
    QCOMPARE(rig.open(), 0);
    const QByteArray first(64, 'A');
    const int left = rig.ports.CommWrite(1, first, 64, 0);
    // Back early, with the rest still queued: the line does not fall idle.
    QVERIFY2(left >= 1 && left < 64, qPrintable(QString::number(left)));
    QCOMPARE(rig.ports.bytesInFlight(1), 64 - left);

    // The caller does not go on with them (it failed, or went another way).
    QCOMPARE(rig.ports.CommWrite(1, "B", 1, 0), 1);
    QCOMPARE(rig.ports.bytesInFlight(1), 0);
    QTRY_COMPARE(rig.line->reportedQueue(), 0);
    QCOMPARE(rig.line->wire.count('A') + rig.line->purgedFromQueue, 64);
    QVERIFY(rig.line->wire.endsWith("B"));
    QVERIFY(rig.line->wire.count('A') >= left);
}

void PortTableTest::vanishedDeviceKeepsItsCause()
{
    Rig rig;
    QCOMPARE(rig.open(), 0);
    // Unplugged while the window runs after a write that got through.
    rig.ports.setEventPump([&rig] {
        if (auto *device = qobject_cast<FakeSerialDevice *>(rig.ports.device(1)))
            device->vanish();
    });
    QCOMPARE(rig.ports.CommWrite(1, "abc", 3, 0), 3);
    QVERIFY(!rig.ports.isOpen(1));
    const quint32 failures = rig.ports.failureCount();

    QCOMPARE(rig.ports.CommWrite(1, "def", 3, 0), -1);
    QCOMPARE(rig.ports.lastCommError().message, QStringLiteral("Input/output error"));
    QCOMPARE(rig.ports.failureCount(), failures); // no second, misleading failure

    // Offline and online again: a closed port is just that.
    QCOMPARE(rig.ports.CommClose(1), 0);
    QCOMPARE(rig.ports.CommWrite(1, "ghi", 3, 0), -1);
    QCOMPARE(rig.ports.lastCommError().message, QStringLiteral("The port is not open."));
}

void PortTableTest::settingsTheLineRefusesCloseTheDevice()
{
    Rig rig;
    rig.line->failSettings = true;
    QVERIFY(rig.open() > 0);
    QCOMPARE(rig.ports.lastCommError().source, QStringLiteral("CommOpen (SetCommState)"));
    // Not left open with settings that were never applied.
    QVERIFY(!rig.ports.isOpen(1));
    QVERIFY(!rig.line->isOpen);
}

QTEST_GUILESS_MAIN(PortTableTest)
#include "tst_porttable.moc"
