// The simulated module as a serial device: reached by name, paced by its line,
// and through the port layer as the program uses it. Opening, closing and the
// bytes themselves are the port contract's test, which runs it too.

#include "core/module/simulatordevice.h"
#include "core/serial/serialline.h"

#include <QElapsedTimer>
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

QString row0(SimulatedModule &module)
{
    return module.model().textRows().value(0).trimmed();
}

} // namespace

class SimulatorDeviceTest : public QObject
{
    Q_OBJECT

private slots:
    void reachedByItsName_data();
    void reachedByItsName();
    void writesArePacedByTheLine();
    void busyModuleWithCtsTakesNothing();
    void repliesAreReadable();
    void moduleOutlivesTheOpen();
    void portLayerWriteTimesOutWhileBusy();
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

void SimulatorDeviceTest::writesArePacedByTheLine()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    SimulatorDevice device(module);
    QVERIFY(device.open(PortAddress::simulator()));
    QVERIFY(device.applyLineSettings(settings(9600, false)));
    const QByteArray text(90, 'x');
    qint64 sent = count(device.writeSome(text.constData(), text.size()));
    QCOMPARE(sent, qint64(ModuleLine::kTransmitFifo));
    QCOMPARE(count(device.writeSome(text.constData(), 1)), 0); // the transmitter is full
    // Waiting moves the hand clock, never the test's own time.
    QVERIFY(device.waitForWritable(100));
    QVERIFY(clock->nowNs() >= 32 * 1'041'666);
    sent += count(device.writeSome(text.constData() + sent, text.size() - sent));
    QCOMPARE(sent, qint64(text.size()));
    clock->advanceMs(95);
    module->line().advance();
    QCOMPARE(module->model().textRows().join(QString()).count(QLatin1Char('x')), 90);
}

void SimulatorDeviceTest::busyModuleWithCtsTakesNothing()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    SimulatorDevice device(module);
    QVERIFY(device.open(PortAddress::simulator()));
    QVERIFY(device.applyLineSettings(settings(38400, true)));
    const QByteArray wait = hex("1f286101ff"); // 127.5 s
    QCOMPARE(count(device.writeSome(wait.constData(), wait.size())), wait.size());
    clock->advanceMs(5);
    QCOMPARE(count(device.writeSome("A", 1)), 0);
    QVERIFY(!device.waitForWritable(20));
    // CTS off, as Serial OUT mode's start does: the bytes go out and wait in the module.
    QVERIFY(device.applyLineSettings(settings(38400, false)));
    QCOMPARE(count(device.writeSome("A", 1)), 1);
}

void SimulatorDeviceTest::repliesAreReadable()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    SimulatorDevice device(module);
    QVERIFY(device.open(PortAddress::simulator()));
    QVERIFY(device.applyLineSettings(settings(19200, false)));
    const QByteArray request = hex("1f286583494e 1f28654002");
    QVERIFY(device.writeSome(request.constData(), request.size()));
    QCOMPARE(count(device.bytesWaiting()), 0);
    QVERIFY(device.waitForReadyRead(100));
    clock->advanceMs(20);
    char reply[20] = {};
    QCOMPARE(count(device.readAvailable(reply, sizeof reply)), 7);
    QCOMPARE(QByteArray(reply, 7), QByteArray("\x28\x65\x40ZS10"));
    QVERIFY(!device.waitForReadyRead(30));
    QVERIFY(device.purge(QSerialPort::AllDirections));
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
    QCOMPARE(row0(*module), QStringLiteral("Kept"));
}

void SimulatorDeviceTest::portLayerWriteTimesOutWhileBusy()
{
    auto module = std::make_shared<SimulatedModule>();
    SerialLine port(withSimulator(nullptr, module));
    port.setTimeouts(200, 50);
    QVERIFY(port.open(PortAddress::simulator(), settings(38400, true)));
    const QByteArray wait = hex("1f286101ff");
    QCOMPARE(port.write(wait).value(), int(wait.size()));
    QTRY_VERIFY(module->line().moduleBusy());
    QElapsedTimer timer;
    timer.start();
    // Nothing gets through: the write fails, and the caller ends in "COM port error".
    const Result<int> written = port.write("AB");
    QVERIFY(!written);
    QCOMPARE(written.error().text, QStringLiteral("write timed out: 0 of 2 bytes left the port"));
    QVERIFY(timer.elapsed() >= 100);
}

QTEST_GUILESS_MAIN(SimulatorDeviceTest)
#include "tst_simulatordevice.moc"
