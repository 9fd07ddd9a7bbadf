// PortTable's own rules, against a scripted line where a real one cannot show them.

#include "support/fakeserialdevice.h"

#include "core/serial/porttable.h"

#include <QTest>

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

} // namespace

class PortTableTest : public QObject
{
    Q_OBJECT

private slots:
    void writeReturnsWhatWasAcceptedWhenTimeRunsOut();
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
