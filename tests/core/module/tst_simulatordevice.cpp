// The simulated module as a serial device: reached by its name, handing the
// line settings to the module's line, and outliving the open. What every
// device does (opening, the bytes, waits, a held-off line) is the port
// contract's test, which runs it too; what the line does in time is the
// module timing test's.

#include "core/module/simulatordevice.h"

#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

std::shared_ptr<SimulatedModule> manualModule(std::shared_ptr<ManualModuleClock> clock)
{
    return std::make_shared<SimulatedModule>(std::move(clock));
}

LineSettings settings(int baud, bool cts)
{
    return {baud, cts ? FlowControl::CtsHandshake : FlowControl::None};
}

// A count, or -1 for a failure, so that a failure shows in the comparison.
qint64 count(const Result<qint64> &result)
{
    return result ? *result : -1;
}

} // namespace

class SimulatorDeviceTest : public QObject
{
    Q_OBJECT

private slots:
    void reachedByItsName_data();
    void reachedByItsName();
    void lineSettingsReachTheModuleLine();
    void moduleOutlivesTheOpen();
};

void SimulatorDeviceTest::reachedByItsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("simulator");
    QTest::newRow("name") << "Simulator" << true;
    QTest::newRow("any letter case") << "SIMULATOR" << true;
#ifndef Q_OS_WIN
    QTest::newRow("its device path") << "/dev/Simulator" << true;
    QTest::newRow("its device path in any case") << "/dev/SIMULATOR" << true;
    QTest::newRow("a real port") << "/dev/ttyS0" << false;
#endif
    QTest::newRow("a COM port") << "COM1" << false;
    QTest::newRow("a longer name") << "Simulator2" << false;
}

void SimulatorDeviceTest::reachedByItsName()
{
    QFETCH(QString, name);
    QFETCH(bool, simulator);
    auto module = std::make_shared<SimulatedModule>();
    int others = 0;
    const SerialDeviceFactory factory = withSimulator(
        [&others](const PortAddress &) -> std::unique_ptr<SerialDevice> {
            ++others;
            return nullptr;
        },
        module);
    std::unique_ptr<SerialDevice> device = factory(PortAddress::fromName(name));
    QCOMPARE(simulatedModule(device.get()) == module.get(), simulator);
    QCOMPARE(others, simulator ? 0 : 1);
}

void SimulatorDeviceTest::lineSettingsReachTheModuleLine()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    SimulatorDevice device(module);
    QVERIFY(device.open(PortAddress::simulator()));
    QVERIFY(device.applyLineSettings(settings(115200, true)));
    QCOMPARE(module->line().byteTimeNs(), 86'805); // 10 bits at 115200 baud
    const QByteArray wait = hex("1f286101ff");     // 127.5 s
    QCOMPARE(count(device.writeSome(wait.constData(), wait.size())), wait.size());
    clock->advanceMs(1);
    QCOMPARE(count(device.writeSome("A", 1)), 0);
    QVERIFY(!device.waitForWritable(20));
    // CTS off, as Serial OUT mode's start does: the bytes go out and wait in the module.
    QVERIFY(device.applyLineSettings(settings(38400, false)));
    QCOMPARE(module->line().byteTimeNs(), 260'416);
    QCOMPARE(count(device.writeSome("A", 1)), 1);
}

void SimulatorDeviceTest::moduleOutlivesTheOpen()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    {
        SimulatorDevice device(module);
        QVERIFY(device.open(PortAddress::simulator()));
        QVERIFY(device.writeSome("Kept", 4));
        clock->advanceMs(10);
        QVERIFY(device.bytesWaiting());
    }
    SimulatorDevice again(module);
    QVERIFY(again.open(PortAddress::simulator()));
    QCOMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("Kept"));
}

QTEST_GUILESS_MAIN(SimulatorDeviceTest)
#include "tst_simulatordevice.moc"
