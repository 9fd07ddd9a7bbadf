// The port contract: what the port relies on from every SerialDevice,
// written once and run against each implementation with the far end of its
// line. A new implementation joins with one row in initTestCase_data.

#include "support/portend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <numeric>

Q_DECLARE_METATYPE(PortEndMaker)

namespace {

// A wait may return early, never much later than asked; the margin covers a
// loaded machine and a sanitizer build.
constexpr int kWaitMs = 100;
constexpr int kLateMs = 400;

QByteArray everyByteValue()
{
    QByteArray bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), char(0));
    return bytes;
}

// A count, or -1 for a failure, so that a failure shows in the comparison.
qint64 count(const Result<qint64> &result)
{
    return result ? *result : -1;
}

// Writes all of bytes, waiting for room in between; false on a failure or
// when the line takes nothing for a whole second.
bool writeAll(SerialDevice &device, const QByteArray &bytes)
{
    QElapsedTimer stalled;
    stalled.start();
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = count(device.writeSome(bytes.constData() + done, bytes.size() - done));
        if (n < 0 || n > bytes.size() - done || (n == 0 && stalled.hasExpired(1000)))
            return false;
        if (n > 0)
            stalled.restart();
        done += n;
        if (done < bytes.size())
            (void)device.waitForWritable(20);
    }
    return true;
}

} // namespace

class TestPortContract : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase_data();
    void init();
    void cleanup() { m_end.reset(); }

    void opensExclusivelyAndClosesAgain();
    void bytesCrossExactly();
    void heldOffLineDropsWhatItQueued();
    void farEndGoneIsReportedOnce();

private:
    // A device of the implementation under test, opened on its far end.
    std::unique_ptr<SerialDevice> openDevice();

    std::unique_ptr<PortEnd> m_end;
};

void TestPortContract::initTestCase_data()
{
    QTest::addColumn<PortEndMaker>("end");
#ifdef Q_OS_UNIX
    QTest::newRow("Qt device on a pseudo-terminal") << PortEndMaker(makePtyPortEnd);
#endif
    QTest::newRow("simulated module") << PortEndMaker(makeSimulatorPortEnd);
}

void TestPortContract::init()
{
    QFETCH_GLOBAL(PortEndMaker, end);
    m_end = end();
    QVERIFY(m_end);
}

std::unique_ptr<SerialDevice> TestPortContract::openDevice()
{
    std::unique_ptr<SerialDevice> device = m_end->makeDevice();
    if (!device || !device->open(m_end->address()))
        return nullptr;
    return device;
}

void TestPortContract::opensExclusivelyAndClosesAgain()
{
    std::unique_ptr<SerialDevice> device = openDevice();
    QVERIFY(device);
    // A second open, of the same device or another, is refused; the first stands.
    std::unique_ptr<SerialDevice> second = m_end->makeDevice();
    for (SerialDevice *again : {device.get(), second.get()}) {
        const Result<void> refused = again->open(m_end->address());
        QVERIFY(!refused && refused.error().code != 0);
    }
    QVERIFY(device->isOpen() && !second->isOpen());
    for (const LineSettings wanted :
         {LineSettings{9600, FlowControl::None}, LineSettings{115200, FlowControl::CtsHandshake}}) {
        QVERIFY(device->applyLineSettings(wanted));
        QCOMPARE(device->lineSettings(), wanted);
    }

    device->close();
    device->close(); // a second close is harmless
    QVERIFY(!device->isOpen());
    // A closed device refuses every operation, with a reason, and never crashes.
    char byte = 'x';
    QCOMPARE((QList<qint64>{count(device->writeSome(&byte, 1)),
                            count(device->readAvailable(&byte, 1)), count(device->bytesWaiting())}),
             (QList<qint64>{-1, -1, -1}));
    const Result<void> purged = device->purge(QSerialPort::AllDirections);
    QVERIFY(!purged && purged.error().code != 0);
    QVERIFY(second->open(m_end->address()));
}

void TestPortContract::bytesCrossExactly()
{
    std::unique_ptr<SerialDevice> device = openDevice();
    QVERIFY(device);
    // The values a cooked line would eat or change, twice in a row.
    const QByteArray bytes = everyByteValue() + QByteArray::fromHex("00111300ff0d0a1a7f03");
    QVERIFY(writeAll(*device, bytes));
    QCOMPARE(m_end->receive(bytes.size(), 2000), bytes);

    // A read takes what is waiting, no more than it asks for; nothing is 0,
    // not a failure. A wait for input returns in time, and when input comes.
    QByteArray in(bytes.size(), '\0');
    QCOMPARE(count(device->readAvailable(in.data(), 20)), qint64(0));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!device->waitForReadyRead(kWaitMs));
    QVERIFY2(timer.elapsed() < kWaitMs + kLateMs, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(m_end->send(bytes));
    QTRY_VERIFY(device->waitForReadyRead(kWaitMs));
    QTRY_COMPARE(count(device->bytesWaiting()), qint64(bytes.size()));
    QCOMPARE(count(device->readAvailable(in.data(), 20)), qint64(20));
    QCOMPARE(count(device->readAvailable(in.data() + 20, in.size() - 20)), qint64(in.size() - 20));
    QCOMPARE(in, bytes);

    // A purge drops waiting input, with whatever the implementation fetched meanwhile.
    QVERIFY(m_end->send("stale reply"));
    QTRY_COMPARE(count(device->bytesWaiting()), qint64(11));
    QCoreApplication::processEvents();
    QVERIFY(device->purge(QSerialPort::Input));
    QCOMPARE(count(device->bytesWaiting()), qint64(0));
}

void TestPortContract::heldOffLineDropsWhatItQueued()
{
    std::unique_ptr<SerialDevice> device = openDevice();
    QVERIFY(device);
    const QByteArray bytes = everyByteValue();
    QVERIFY(writeAll(*device, bytes));
    // Never more than was accepted and has not yet reached the far end.
    const qint64 queued = count(device->bytesQueued());
    QVERIFY2(queued >= 0 && queued <= bytes.size(), qPrintable(QString::number(queued)));
    QCOMPARE(m_end->receive(bytes.size(), 2000), bytes);
    QCOMPARE(count(device->bytesQueued()), qint64(0));

    // A module holds the line off with its busy line, which only CTS flow control heeds.
    QVERIFY(device->applyLineSettings({115200, FlowControl::CtsHandshake}));
    m_end->holdOff(true);
    // The line fills up and then takes nothing: 0 bytes, which is no failure.
    const QByteArray block(4096, 'U');
    qint64 n = 1;
    for (int i = 0; i < 4096 && n != 0; ++i) {
        n = count(device->writeSome(block.constData(), block.size()));
        QVERIFY2(n >= 0 && n <= block.size(), qPrintable(QString::number(n)));
    }
    QElapsedTimer timer;
    timer.start();
    (void)device->waitForWritable(kWaitMs);
    QVERIFY2(timer.elapsed() < kWaitMs + kLateMs, qPrintable(QString::number(timer.elapsed())));

    // What is dropped never reaches the far end once it takes bytes again.
    QVERIFY(device->purge(QSerialPort::Output));
    QCOMPARE(count(device->bytesQueued()), qint64(0));
    m_end->holdOff(false);
    QVERIFY(writeAll(*device, "after"));
    QCOMPARE(m_end->receive(5, 2000), QByteArray("after"));
    device->close();
    QCOMPARE(count(device->bytesQueued()), qint64(-1));
}

void TestPortContract::farEndGoneIsReportedOnce()
{
    std::unique_ptr<SerialDevice> device = openDevice();
    QVERIFY(device);
    QList<bool> closedWhenTold;
    Error told;
    connect(device.get(), &SerialDevice::lost, this, [&](const Error &error) {
        closedWhenTold << !device->isOpen();
        told = error;
    });

    if (!m_end->hangUp())
        QSKIP("the far end cannot go away");
    // Told while idle, without a call to notice it by.
    QTRY_COMPARE(closedWhenTold, QList<bool>{true});
    QVERIFY(told.code != 0 && !told.text.isEmpty());
    char byte = 'x';
    QCOMPARE(count(device->writeSome(&byte, 1)), qint64(-1));
    QTest::qWait(200);
    QCOMPARE(closedWhenTold.size(), 1);
}

QTEST_GUILESS_MAIN(TestPortContract)
#include "tst_portcontract.moc"
