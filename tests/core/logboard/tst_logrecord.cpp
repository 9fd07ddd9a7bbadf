// The Log Board record writer: the text the players and the exports read back.

#include "core/logboard/logrecord.h"

#include <QTest>

Q_DECLARE_METATYPE(Codes)

class TestLogRecord : public QObject
{
    Q_OBJECT
private slots:
    void recordLines_data();
    void recordLines();
};

void TestLogRecord::recordLines_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("help");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<QString>("record");

    QTest::newRow("brightness") << "Character Brightness : Level 4 (43%)"
                                << "-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)"
                                << Codes{0x1F, 0x28, 0x67, 0x50, 0x04, 0x00, 0x00}
                                << "*** Character Brightness : Level 4 (43%) ***\r\n"
                                   "*** -----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8) ***\r\n"
                                   "PRT 1fh 28h 67h 50h 04h 00h 00h;\r\n\r\n";
    QTest::newRow("markers as their low byte")
        << "t"
        << "h" << Codes{0x1B, Marker::KeyWait, Marker::Flush, Marker::Pause, 0xFF}
        << "*** t ***\r\n*** h ***\r\nPRT 1bh ffh feh fdh ffh;\r\n\r\n";
    QTest::newRow("no codes: an empty PRT line")
        << "Cursor type="
        << "-Op-" << Codes{} << "*** Cursor type= ***\r\n*** -Op- ***\r\nPRT;\r\n\r\n";
    QTest::newRow("title and help as they are")
        << "a *** b;\r\nc"
        << "" << Codes{0x41} << "*** a *** b;\r\nc ***\r\n***  ***\r\nPRT 41h;\r\n\r\n";
}

void TestLogRecord::recordLines()
{
    QFETCH(QString, title);
    QFETCH(QString, help);
    QFETCH(Codes, codes);
    QFETCH(QString, record);
    QCOMPARE(LogRecord::format(title, help, codes), record);
}

QTEST_GUILESS_MAIN(TestLogRecord)
#include "tst_logrecord.moc"
