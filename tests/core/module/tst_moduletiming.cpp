// What the simulated module does over time, on a clock the test moves: the
// line's pace, the busy line, the wait action, and everything that blinks;
// and the module as a serial device, reached by its name. What every device
// does is the port contract's test, which runs it too.

#include "core/module/glasspicture.h"
#include "core/module/moduleline.h"
#include "core/module/modulemodel.h"
#include "core/module/simulatordevice.h"

#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A count, or -1 for a failure, so that a failure shows in the comparison.
qint64 count(const Result<qint64> &result)
{
    return result ? *result : -1;
}

struct Bench
{
    std::shared_ptr<ManualModuleClock> clock = std::make_shared<ManualModuleClock>();
    ModuleModel model{clock};
    ModuleLine line{model};

    explicit Bench(qint32 baud = 9600, bool cts = false)
    {
        line.setBaudRate(baud);
        line.setCtsFlowControl(cts);
    }
    qint64 write(const QByteArray &bytes) { return line.write(bytes.constData(), bytes.size()); }
    void at(double ms)
    {
        clock->setNs(qint64(ms * 1e6));
        line.advance();
    }
    QString row0() const { return model.textRows().value(0).trimmed(); }
};

} // namespace

class ModuleTimingTest : public QObject
{
    Q_OBJECT

private slots:
    void bytesAndRepliesGoAtTheBaudRate();
    void waitActionHoldsTheInputAndAFullBufferLosesBytes();
    void whatBlinks_data();
    void whatBlinks();
    void screensaverAndBrightness_data();
    void screensaverAndBrightness();
    void cursorModes();
    void slowHorizontalScrollSlidesAndHolds();
    void simulatorDevice();
};

void ModuleTimingTest::bytesAndRepliesGoAtTheBaudRate()
{
    Bench b(9600);
    const QByteArray text(90, 'x');
    QCOMPARE(b.write(text), 64); // what the transmitter has room for
    QCOMPARE(b.write("x"), 0);
    b.at(10.5); // 10 bits a byte: 1.0417 ms at 9600
    QCOMPARE(b.row0().size(), 10);
    // A waiting writer wakes when half the transmitter is free, not for every byte.
    QVERIFY(b.line.waitForWritable(100));
    QCOMPARE(b.clock->nowNs(), 32 * 1'041'666);
    QCOMPARE(b.write(text.mid(64)), 26);

    Bench r(9600);
    r.write(hex("1f286583494e") + hex("1f28654030"));
    r.at(11.5 + 0.1); // 11 bytes out
    // A reader waits for the first reply byte: one byte time after the request's last.
    QVERIFY(r.line.waitForReadable(50));
    QCOMPARE(r.clock->nowNs(), 12 * 1'041'666);
    r.at(40);
    QByteArray reply(20, '\0');
    reply.resize(r.line.read(reply.data(), 20));
    QCOMPARE(reply, QByteArray("\x28\x65\x40SIM-24B 4x24"));
    QVERIFY(!r.line.waitForReadable(30));
}

// The line itself takes what comes while the module is busy; holding the
// writer off with CTS is the port contract's test.
void ModuleTimingTest::waitActionHoldsTheInputAndAFullBufferLosesBytes()
{
    Bench b(115200);
    b.write(hex("1f28610102") + "A"); // wait 2 x 0.5 s, then A
    b.at(999);
    QVERIFY(b.line.moduleBusy());
    QCOMPARE(b.row0(), QString());
    b.at(1001);
    QVERIFY(!b.line.moduleBusy());
    QCOMPARE(b.row0(), QStringLiteral("A"));

    b.write(hex("1f28610102"));
    QByteArray text(ModuleLine::kInputBuffer + 10, 'x');
    qint64 sent = 0;
    for (double ms = 1002; sent < text.size(); ms += 1) {
        sent += b.write(text.mid(sent));
        b.at(ms);
    }
    b.at(2200);
    QCOMPARE(b.model.textRows().join(QString()).count(u'x'), 96); // 4 x 24 glass, wrapped
    int lost = 0;
    for (const LogEntry &entry : b.model.log().entries())
        lost += entry.name.startsWith(QStringLiteral("Lost")) ? 1 : 0;
    QCOMPARE(lost, 10);
}

// A cell's dots at moments after the bytes (# as shown at first, . dark),
// and whether the glass still animates at the last of them.
void ModuleTimingTest::whatBlinks_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QPoint>("cell"); // column, row
    QTest::addColumn<QList<double>>("ms");
    QTest::addColumn<QString>("seen");
    QTest::addColumn<bool>("animates");
    const auto row = [](const char *name, const QByteArray &input, QPoint cell,
                        const QList<double> &ms, const char *seen, bool animates) {
        QTest::newRow(name) << input << cell << ms << QString::fromLatin1(seen) << animates;
    };
    const QByteArray blinking = hex("14 1b42") + "A" + hex("1b41") + "B"; // cursor off
    row("still text", "Hi", {0, 0}, {1000}, "#", false);
    // Normal for 3 x 13.5 ms, blank for 2 x 13.5 ms, twice.
    row("blink action", "HELLO" + hex("1f28611101 030202"), {0, 0},
        {10, 41, 67, 68, 108, 136, 1000}, "#..#.##", false);
    row("blink action, continuous", "HELLO" + hex("1f28611101 010100"), {0, 0}, {20, 14520}, "..",
        true);
    // Speed 63: shown, then hidden, 432 ms each.
    row("blinking character", blinking, {0, 0}, {500, 900}, ".#", true);
    row("blink speed 1", blinking + hex("1b5401"), {0, 0}, {20}, ".", true); // 13.5 ms each
    row("underline blink cursor", hex("16"), {0, 0}, {500}, ".", true);
    row("waiting", "Hi" + hex("1f28610101"), {0, 0}, {499}, "#", true);
    row("wait over", "Hi" + hex("1f28610101"), {0, 0}, {501}, "#", false);
}

void ModuleTimingTest::whatBlinks()
{
    QFETCH(QByteArray, input);
    QFETCH(QPoint, cell);
    QFETCH(QList<double>, ms);
    Bench b;
    b.model.receive(input);
    const CellDots shown = composeGlass(b.model, 0).cell(cell.y(), cell.x()).dots;
    QVERIFY(shown != CellDots{});
    QString seen;
    for (const double t : ms) {
        const CellDots dots = composeGlass(b.model, qint64(t * 1e6)).cell(cell.y(), cell.x()).dots;
        seen += dots == shown ? u'#' : dots == CellDots{} ? u'.' : u'?';
    }
    QTEST(seen, "seen");
    QTEST(glassAnimates(b.model, qint64(ms.last() * 1e6)), "animates");
}

void ModuleTimingTest::screensaverAndBrightness_data()
{
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<int>("litDots");
    QTest::addColumn<float>("intensity");
    QTest::addColumn<bool>("powerOff");
    const int glass = 4 * 24 * 40;
    QTest::newRow("power off") << hex("1f28614000") << 0 << 1.0f << true;
    QTest::newRow("all dots on") << hex("1f28614003") << glass << 1.0f << false;
    QTest::newRow("all dots on, 200 %") << hex("1f28614003 1f5808") << glass << 2.0f << false;
    QTest::newRow("power on again") << hex("1f28614000 1f28614001") << -1 << 1.0f << false;
    // As the window's list shows after these: OFF stays, the others go back to ON.
    QTest::newRow("power off outlasts Initialize") << hex("1f28614000 1b40") << 0 << 1.0f << true;
    QTest::newRow("all dots on ends with Initialize")
        << hex("1f28614003 1b40") << -1 << 1.0f << false;
    QTest::newRow("Reset powers on") << hex("1f28614000 1b58ff") << -1 << 1.0f << false;
}

void ModuleTimingTest::screensaverAndBrightness()
{
    QFETCH(QByteArray, commands);
    QFETCH(int, litDots);
    Bench b;
    b.model.receive(hex("14") + commands + "W");
    const GlassPicture picture = composeGlass(b.model, 0);
    if (litDots >= 0)
        QCOMPARE(picture.litDots(), litDots);
    else
        QVERIFY(picture.litDots() > 0);
    QTEST(picture.cell(0, 0).intensity, "intensity");
    QTEST(picture.powerOff, "powerOff");
}

void ModuleTimingTest::cursorModes()
{
    QList<CellDots> cursors;
    for (const char *mode : {"13", "14", "15"}) { // underline, off, block
        Bench b;
        b.model.receive(hex(mode) + hex("1f2405000200"));
        cursors << composeGlass(b.model, 0).cell(2, 5).dots;
    }
    QCOMPARE(cursors, (QList<CellDots>{{0, 0, 0, 0, 0, 0, 0, 0x1F},
                                       {},
                                       {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F}}));
}

void ModuleTimingTest::slowHorizontalScrollSlidesAndHolds()
{
    Bench b(115200);
    b.write(hex("1f03 1f7304") + QByteArray(24, 'a') + "BC");
    b.at(10); // 31 bytes take 2.7 ms; the first slide holds the line for 4 x 13.5 ms
    QVERIFY(b.line.moduleBusy());
    QVERIFY(composeGlass(b.model, b.clock->nowNs()).rowShift[0] > 0.0f);
    QCOMPARE(b.row0().right(1), QStringLiteral("B"));
    b.at(60);
    QCOMPARE(b.row0().right(2), QStringLiteral("BC"));
    b.at(200);
    QVERIFY(!b.line.moduleBusy());
    QCOMPARE(composeGlass(b.model, b.clock->nowNs()).rowShift[0], 0.0f);

    // A slide on the fourth row, and then a glass of two rows.
    b.model.receive(hex("1f2400000300") + QByteArray(25, 'b'));
    b.model.setDisplayModel(0);
    QCOMPARE(composeGlass(b.model, b.clock->nowNs()).rowShift.size(), 2);
}

// The module outlives the open, the line settings reach its line, and it is
// reached by its name.
void ModuleTimingTest::simulatorDevice()
{
    Bench b;
    auto module = std::make_shared<SimulatedModule>(b.clock);
    {
        SimulatorDevice device(module);
        QVERIFY(device.open(PortAddress::simulator()));
        QCOMPARE(count(device.writeSome("Kept", 4)), 4);
        b.clock->advanceMs(10);
        QCOMPARE(count(device.bytesWaiting()), 0); // the line reads on when asked
    }
    SimulatorDevice device(module);
    QVERIFY(device.open(PortAddress::simulator()));
    QCOMPARE(module->model().textRows().value(0).trimmed(), QStringLiteral("Kept"));
    QVERIFY(device.applyLineSettings({115200, FlowControl::CtsHandshake}));
    QCOMPARE(module->line().byteTimeNs(), 86'805); // 10 bits at 115200 baud

    const SerialDeviceFactory factory = withSimulator({}, module);
    QCOMPARE(simulatedModule(factory(PortAddress::fromName("SIMULATOR")).get()), module.get());
#ifndef Q_OS_WIN
    QVERIFY(PortAddress::fromName(QStringLiteral("/dev/Simulator")).isSimulator());
#endif
    QVERIFY(!PortAddress::fromName(QStringLiteral("Simulator2")).isSimulator());
}

QTEST_GUILESS_MAIN(ModuleTimingTest)
#include "tst_moduletiming.moc"
