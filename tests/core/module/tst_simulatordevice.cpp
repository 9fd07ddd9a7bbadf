// The simulated module as a serial device: reached by name, paced by its line,
// and through the port layer as the program uses it. Opening, closing and the
// bytes themselves are the port contract's test, which runs it too.

#include "core/module/simulatordevice.h"
#include "core/serial/porttable.h"

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

LineSettings settings(qint32 baud, bool cts)
{
    LineSettings s;
    s.baudRate = baud;
    s.ctsFlowControl = cts;
    return s;
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
    QTest::newRow("Unix device path") << "/dev/Simulator" << true;
    QTest::newRow("Windows device path") << "\\\\.\\Simulator" << true;
    QTest::newRow("any letter case") << "/dev/SIMULATOR" << true;
    QTest::newRow("a real port") << "/dev/ttyS0" << false;
    QTest::newRow("a longer name") << "/dev/Simulator2" << false;
}

void SimulatorDeviceTest::reachedByItsName()
{
    QFETCH(QString, name);
    QFETCH(bool, simulator);
    auto module = std::make_shared<SimulatedModule>();
    int others = 0;
    const SerialDeviceFactory factory = withSimulator(
        [&others](const QString &) -> std::unique_ptr<SerialDevice> {
            ++others;
            return nullptr;
        },
        module);
    std::unique_ptr<SerialDevice> device = factory(name);
    QCOMPARE(simulatedModule(device.get()) == module.get(), simulator);
    QCOMPARE(others, simulator ? 0 : 1);
}

void SimulatorDeviceTest::writesArePacedByTheLine()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    SimulatorDevice device(module);
    QVERIFY(device.open(QStringLiteral("Simulator")));
    QVERIFY(device.applyLineSettings(settings(9600, false)));
    const QByteArray text(90, 'x');
    qint64 sent = device.writeSome(text.constData(), text.size());
    QCOMPARE(sent, qint64(ModuleLine::kTransmitFifo));
    QCOMPARE(device.writeSome(text.constData(), 1), 0); // the transmitter is full
    // Waiting moves the hand clock, never the test's own time.
    QVERIFY(device.waitForWritable(100));
    QVERIFY(clock->nowNs() >= 32 * 1'041'666);
    sent += device.writeSome(text.constData() + sent, text.size() - sent);
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
    QVERIFY(device.open(QStringLiteral("Simulator")));
    device.applyLineSettings(settings(38400, true));
    const QByteArray wait = hex("1f286101ff"); // 127.5 s
    QCOMPARE(device.writeSome(wait.constData(), wait.size()), wait.size());
    clock->advanceMs(5);
    QCOMPARE(device.writeSome("A", 1), 0);
    QVERIFY(!device.waitForWritable(20));
    // CTS off, as Serial OUT mode's start does: the bytes go out and wait in the module.
    device.applyLineSettings(settings(38400, false));
    QCOMPARE(device.writeSome("A", 1), 1);
}

void SimulatorDeviceTest::repliesAreReadable()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    SimulatorDevice device(module);
    QVERIFY(device.open(QStringLiteral("Simulator")));
    device.applyLineSettings(settings(19200, false));
    const QByteArray request = hex("1f286583494e 1f28654002");
    device.writeSome(request.constData(), request.size());
    QCOMPARE(device.bytesWaiting(), 0);
    QVERIFY(device.waitForReadyRead(100));
    clock->advanceMs(20);
    char reply[20] = {};
    QCOMPARE(device.readAvailable(reply, sizeof reply), 7);
    QCOMPARE(QByteArray(reply, 7), QByteArray("\x28\x65\x40ZS10"));
    QVERIFY(!device.waitForReadyRead(30));
    QVERIFY(device.purge(true, true));
}

void SimulatorDeviceTest::moduleOutlivesTheOpen()
{
    auto clock = std::make_shared<ManualModuleClock>();
    auto module = manualModule(clock);
    {
        SimulatorDevice device(module);
        QVERIFY(device.open(QStringLiteral("Simulator")));
        device.writeSome("Kept", 4);
        clock->advanceMs(10);
        device.bytesWaiting();
    }
    SimulatorDevice again(module);
    QVERIFY(again.open(QStringLiteral("Simulator")));
    QCOMPARE(row0(*module), QStringLiteral("Kept"));
}

void SimulatorDeviceTest::portLayerWriteTimesOutWhileBusy()
{
    auto module = std::make_shared<SimulatedModule>();
    PortTable ports(withSimulator(nullptr, module));
    ports.setTimeouts(200, 50);
    QCOMPARE(ports.CommOpen(1, QStringLiteral("Simulator"),
                            QStringLiteral("baud=38400 parity=N data=8 stop=1 octs=on")),
             0);
    const QByteArray wait = hex("1f286101ff");
    QCOMPARE(ports.CommWrite(1, wait, int(wait.size()), 0), int(wait.size()));
    QTRY_VERIFY(module->line().moduleBusy());
    QElapsedTimer timer;
    timer.start();
    const QByteArray text("AB");
    // Nothing gets through: the caller ends in "COM port error" on this 0.
    QCOMPARE(ports.CommWrite(1, text, 2, 0), 0);
    QVERIFY(timer.elapsed() >= 100);
}

QTEST_GUILESS_MAIN(SimulatorDeviceTest)
#include "tst_simulatordevice.moc"
