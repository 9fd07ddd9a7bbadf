// The port writer every sender shares: 64-byte writes, continuation after a
// partial write, and the one reaction to a port that fails.

#include "core/transport/portwriter.h"
#include "support/fakesession.h"

#include <QTest>

namespace {

QList<QByteArray> pieces(const QByteArray &bytes, const QList<int> &sizes)
{
    QList<QByteArray> out;
    qsizetype from = 0;
    for (const int size : sizes) {
        out << bytes.mid(from, size);
        from += size;
    }
    return out;
}

} // namespace

class TestPortWriter : public QObject
{
    Q_OBJECT
private slots:
    void writesEveryByteOrFailsOnce_data();
    void writesEveryByteOrFailsOnce();
};

void TestPortWriter::writesEveryByteOrFailsOnce_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<qint64>>("accept"); // per write call: bytes taken, -1 fails
    QTest::addColumn<QList<int>>("writes");    // sizes of the writes that got through
    QTest::addColumn<bool>("ok");

    QTest::newRow("nothing to write") << 0 << QList<qint64>{} << QList<int>{} << true;
    QTest::newRow("150 bytes as 64, 64, 22")
        << 150 << QList<qint64>{} << QList<int>{64, 64, 22} << true;
    QTest::newRow("a partial write continues at the first unwritten byte")
        << 70 << QList<qint64>{10} << QList<int>{10, 54, 6} << true;
    QTest::newRow("a failure drops the rest")
        << 150 << QList<qint64>{64, -1} << QList<int>{64} << false;
    // CTS held low: the write time-out runs out with nothing through.
    QTest::newRow("nothing through is a failure")
        << 20 << QList<qint64>(200, 0) << QList<int>{} << false;
}

void TestPortWriter::writesEveryByteOrFailsOnce()
{
    QFETCH(int, size);
    QFETCH(QList<qint64>, accept);
    QFETCH(QList<int>, writes);
    QFETCH(bool, ok);
    FakeSession session;
    QVERIFY(session.goOnline());
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(char(i));
    for (const qint64 n : accept)
        session.line->accept.enqueue(n);

    QCOMPARE(session.writer.write(bytes), ok);
    QCOMPARE(session.line->writes, pieces(bytes, writes));
    QCOMPARE(session.connection.comport_online(), ok);
    QCOMPARE(session.prompt.messages(),
             ok ? QStringList() : QStringList{QStringLiteral("COM port error")});
    QCOMPARE(session.ports.isOpen(Connection::kPort), ok);
}

QTEST_GUILESS_MAIN(TestPortWriter)
#include "tst_portwriter.moc"
