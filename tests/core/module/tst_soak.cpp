// A day on the bench in a minute: going online and offline on the simulated
// module again and again, and a long stream of commands into it, must not
// leak file descriptors or memory. ZEPTA_SOAK_FULL=1 runs the full day (1,000
// cycles, 100,000 commands); the suite runs a tenth of it.

#include "core/session/commandsession.h"
#include "core/session/devicefactory.h"
#include "core/transport/commandtext.h"
#include "support/scriptedprompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

namespace {

int scaled(int full)
{
    return qEnvironmentVariableIntValue("ZEPTA_SOAK_FULL") ? full : full / 10;
}

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
        .size();
}

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer holds freed memory back for a while to catch late uses:
// resident memory grows by design there, so only descriptors are compared.
constexpr bool kResidentMemoryMeans = false;
#else
constexpr bool kResidentMemoryMeans = true;
#endif

qint64 residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * ::sysconf(_SC_PAGESIZE) / 1024;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void onlineOfflineCycles();
    void commandStream();

private:
    ScriptedPrompt m_prompt;
    std::unique_ptr<CommandSession> m_session;
};

void TestSoak::init()
{
    m_session = std::make_unique<CommandSession>(systemSerialDeviceFactory(), m_prompt,
                                                 CodePage(CodePage::Kind::Windows1252));
}

void TestSoak::onlineOfflineCycles()
{
    Connection &connection = m_session->connection;
    const auto cycle = [&] {
        QVERIFY(
            connection.goOnline(QStringLiteral("Simulator"), {115200, FlowControl::CtsHandshake}));
        QVERIFY(m_session->transmitter.send(CommandText::fromEscapes("\x1b\x40")));
        connection.goOffline();
        QVERIFY(!connection.isOnline());
        // Between two clicks the window's event loop runs, and with it the
        // deletion of the closed device.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    // The first rounds allocate what stays for the process's life.
    for (int i = 0; i < 20; ++i)
        cycle();
    const qsizetype fds = openDescriptors();
    const qint64 rss = residentKb();

    const int cycles = scaled(1000);
    for (int i = 0; i < cycles; ++i)
        cycle();
    QCOMPARE(openDescriptors(), fds);
    qInfo("%d cycles: resident %lld kB, then %lld kB", cycles, rss, residentKb());
    QVERIFY2(!kResidentMemoryMeans || residentKb() <= rss * 105 / 100,
             qPrintable(QString::number(residentKb())));
    QCOMPARE(m_prompt.messages(), QStringList());
}

void TestSoak::commandStream()
{
    QVERIFY(m_session->connection.goOnline(QStringLiteral("Simulator"),
                                           {115200, FlowControl::CtsHandshake}));
    // Home, a character and a cursor set: the module's list fills to its
    // bound during the warm-up and then only turns over.
    const Codes commands[] = {CommandText::fromEscapes("\x0b"), CommandText::fromEscapes("A"),
                              CommandText::fromEscapes(QByteArray::fromHex("1f2401000100"))};
    const auto stream = [&](int count) {
        for (int i = 0; i < count; ++i) {
            if (!m_session->transmitter.send(commands[i % 3]))
                return false;
        }
        return true;
    };
    QVERIFY(stream(10000));
    const qsizetype fds = openDescriptors();
    const qint64 rss = residentKb();

    const int count = scaled(100000);
    QVERIFY(stream(count));
    QCOMPARE(openDescriptors(), fds);
    qInfo("%d commands: resident %lld kB, then %lld kB", count, rss, residentKb());
    QVERIFY2(!kResidentMemoryMeans || residentKb() <= rss * 105 / 100,
             qPrintable(QString::number(residentKb())));
    QCOMPARE(m_prompt.messages(), QStringList());
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
