// Module2's own rules, against a scripted line where a real one cannot show them.

#include "support/fakeserialdevice.h"

#include "serial/module2.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString kSettings = QStringLiteral("baud=38400 parity=N data=8 stop=1 octs=off");

struct Rig
{
    std::shared_ptr<FakeSerialDevice::Line> line = std::make_shared<FakeSerialDevice::Line>();
    Module2 module{FakeSerialDevice::factory(line)};

    FakeSerialDevice *device() const { return static_cast<FakeSerialDevice *>(module.device(1)); }
};

} // namespace

class Module2Test : public QObject
{
    Q_OBJECT

private slots:
    void writeReturnsWhatWasAcceptedWhenTimeRunsOut();
    void writeContinuesFromTheFirstUnacceptedByte();
    void lossDuringAnOperationIsReportedByItsResultOnly_data();
    void lossDuringAnOperationIsReportedByItsResultOnly();
    void lossWhileIdleIsReportedOnce();
    void failedSettingsCloseTheDevice();
    void aReadThatWaitsKeepsTheWindowRunning();
};

void Module2Test::writeReturnsWhatWasAcceptedWhenTimeRunsOut()
{
    Rig rig;
    // 2 ms per byte: a 10-byte write gives up after 20 ms.
    rig.module.setTimeouts(Module2::kReadTimeoutMs, 2);
    QCOMPARE(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings), 0);
    rig.line->accept.enqueue(3);
    for (int i = 0; i < 100000; ++i)
        rig.line->accept.enqueue(0); // CTS held low from here on

    QCOMPARE(rig.module.CommWrite(1, QByteArray("0123456789"), 10, 0), 3);
    QCOMPARE(rig.line->written, QByteArray("012"));
    QVERIFY(rig.module.isOpen(1));
}

void Module2Test::writeContinuesFromTheFirstUnacceptedByte()
{
    Rig rig;
    QCOMPARE(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings), 0);
    rig.line->accept.enqueue(3);
    rig.line->accept.enqueue(0);
    rig.line->accept.enqueue(4);

    QCOMPARE(rig.module.CommWrite(1, QByteArray("--0123456789"), 10, 2), 10);
    QCOMPARE(rig.line->writes,
             (QList<QByteArray>{QByteArray("012"), QByteArray("3456"), QByteArray("789")}));
}

void Module2Test::lossDuringAnOperationIsReportedByItsResultOnly_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("write") << true;
    QTest::newRow("read") << false;
}

void Module2Test::lossDuringAnOperationIsReportedByItsResultOnly()
{
    QFETCH(bool, write);
    Rig rig;
    QCOMPARE(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings), 0);
    QSignalSpy portLost(&rig.module, &Module2::portLost);
    FakeSerialDevice *device = rig.device();
    // The adapter is pulled out while the operation lets the window run.
    rig.module.setEventPump([device, done = false]() mutable {
        if (!done)
            device->vanish();
        done = true;
    });

    int result = 0;
    if (write) {
        rig.line->accept.enqueue(0); // the line is full: the write has to wait
        result = rig.module.CommWrite(1, QByteArray("abc"), 3, 0);
    } else {
        QByteArray buffer;
        result = rig.module.CommRead(1, buffer, 20, 0);
    }
    QCOMPARE(result, -1);
    QVERIFY(!rig.module.isOpen(1));
    QVERIFY(rig.module.lastCommError().code > 0);
    QCoreApplication::processEvents();
    QCOMPARE(portLost.size(), 0);
}

void Module2Test::lossWhileIdleIsReportedOnce()
{
    Rig rig;
    QCOMPARE(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings), 0);
    QSignalSpy portLost(&rig.module, &Module2::portLost);
    FakeSerialDevice *device = rig.device();

    device->vanish();
    device->vanish(); // Qt repeats itself; the table must not
    QCOMPARE(portLost.size(), 1);
    QCOMPARE(portLost.at(0).at(0).value<qint16>(), qint16(1));
    QVERIFY(!rig.module.isOpen(1));
    QCOMPARE(rig.module.CommClose(1), 0);
    // The next Online opens afresh.
    QCOMPARE(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings), 0);
}

void Module2Test::failedSettingsCloseTheDevice()
{
    Rig rig;
    rig.line->failSettings = true;
    QVERIFY(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings) > 0);
    QCOMPARE(rig.module.lastCommError().source, QStringLiteral("CommOpen (SetCommState)"));
    QVERIFY(!rig.module.isOpen(1));
    QVERIFY(!rig.line->isOpen);

    rig.line->failSettings = false;
    QCOMPARE(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings), 0);
    QCOMPARE(rig.line->opens, 2);
}

void Module2Test::aReadThatWaitsKeepsTheWindowRunning()
{
    Rig rig;
    rig.module.setTimeouts(60, Module2::kWriteTimeoutPerByteMs);
    QCOMPARE(rig.module.CommOpen(1, QStringLiteral("/dev/fake"), kSettings), 0);
    int pumps = 0;
    rig.module.setEventPump([&pumps] { ++pumps; });
    rig.line->input = "12345";

    // Five of twenty bytes: the read waits out its time-out, slice by slice.
    QByteArray buffer;
    QCOMPARE(rig.module.CommRead(1, buffer, 20, 0), 5);
    QVERIFY2(pumps > 2, qPrintable(QString::number(pumps)));
}

QTEST_GUILESS_MAIN(Module2Test)
#include "tst_module2.moc"
