// Module2's own rules, against a scripted line where a real one cannot show them.

#include "support/fakeserialdevice.h"

#include "core/serial/module2.h"

#include <QTest>

#include <memory>

namespace {

struct Rig
{
    std::shared_ptr<FakeSerialDevice::Line> line = std::make_shared<FakeSerialDevice::Line>();
    Module2 module{FakeSerialDevice::factory(line)};

    int open()
    {
        return module.CommOpen(1, "/dev/fake", "baud=38400 parity=N data=8 stop=1 octs=on");
    }
};

} // namespace

class Module2Test : public QObject
{
    Q_OBJECT

private slots:
    void writeReturnsWhatWasAcceptedWhenTimeRunsOut();
    void settingsTheLineRefusesCloseTheDevice();
};

void Module2Test::writeReturnsWhatWasAcceptedWhenTimeRunsOut()
{
    Rig rig;
    // 2 ms per byte: a 10-byte write gives up after 20 ms.
    rig.module.setTimeouts(Module2::kReadTimeoutMs, 2);
    QCOMPARE(rig.open(), 0);
    rig.line->accept.enqueue(3);
    for (int i = 0; i < 100000; ++i)
        rig.line->accept.enqueue(0); // CTS held low from here on

    QCOMPARE(rig.module.CommWrite(1, "0123456789", 10, 0), 3);
    QCOMPARE(rig.line->written, QByteArray("012"));
    QVERIFY(rig.module.isOpen(1));
}

void Module2Test::settingsTheLineRefusesCloseTheDevice()
{
    Rig rig;
    rig.line->failSettings = true;
    QVERIFY(rig.open() > 0);
    QCOMPARE(rig.module.lastCommError().source, QStringLiteral("CommOpen (SetCommState)"));
    // Not left open with settings that were never applied.
    QVERIFY(!rig.module.isOpen(1));
    QVERIFY(!rig.line->isOpen);
}

QTEST_GUILESS_MAIN(Module2Test)
#include "tst_module2.moc"
