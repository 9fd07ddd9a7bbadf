#include "mainwindow/cursorpickermodel.h"
#include "mainwindow/displaymodel.h"
#include "pipeline.h"

#include <QSignalSpy>
#include <QTest>

class TestCursorPickerModel : public QObject
{
    Q_OBJECT
private slots:
    void clickSendsCursorSet_data();
    void clickSendsCursorSet();
    void hoverAppendsToTheLastCaption();
    void clickMarksOnePosition();
    void resetMarksPositionZeroLightGreen();
    void visiblePositions_data();
    void visiblePositions();
    void modelChangeSendsAndRecordsNothing();
    void brightnessEntries();
};

void TestCursorPickerModel::clickSendsCursorSet_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("history");

    QTest::newRow("0") << 0 << QByteArray::fromHex("1f2400000000") << "Cursor set(0,0)"
                       << "Cursor set  ( x = 00h,  y = 00h )"
                       << "[T]1F 24 00 00 00 00 \r\n";
    QTest::newRow("25") << 25 << QByteArray::fromHex("1f2401000100") << "Cursor set(1,1)"
                        << "Cursor set  ( x = 01h,  y = 01h )"
                        << "[T]1F 24 01 00 01 00 \r\n";
    QTest::newRow("106") << 106 << QByteArray::fromHex("1f240a000400") << "Cursor set(10,4)"
                         << "Cursor set  ( x = 0Ah,  y = 04h )"
                         << "[T]1F 24 0A 00 04 00 \r\n";
    QTest::newRow("143") << 143 << QByteArray::fromHex("1f2417000500") << "Cursor set(23,5)"
                         << "Cursor set  ( x = 17h,  y = 05h )"
                         << "[T]1F 24 17 00 05 00 \r\n";
}

void TestCursorPickerModel::clickSendsCursorSet()
{
    QFETCH(int, position);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QFETCH(QString, history);

    Pipeline p;
    QVERIFY(p.connection.goOnline(QStringLiteral("COM1"), QStringLiteral("38400"), false));
    p.logBoard.setRecording(true);
    CursorPickerModel picker(p.transport);
    picker.click(position);

    QCOMPARE(p.line->written, bytes);
    QCOMPARE(p.monitor.commandName(), title);
    QCOMPARE(p.monitor.help(), QStringLiteral("-OpCode- xL   0  yL   0  (xL:CursorX)(yL:CursorY"));
    QCOMPARE(p.monitor.history(), history);
    QCOMPARE(picker.caption(), caption);
    QVERIFY(
        p.logBoard.logtext().startsWith(QStringLiteral("*** ") + title + QStringLiteral(" ***")));
    QVERIFY(p.prompt.asked().isEmpty());
}

void TestCursorPickerModel::hoverAppendsToTheLastCaption()
{
    Pipeline p;
    CursorPickerModel picker(p.transport);
    QSignalSpy captions(&picker, &CursorPickerModel::captionChanged);

    picker.hover(25);
    QCOMPARE(picker.caption(),
             QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));
    picker.hover(143); // replaces the read-out instead of adding a second one
    QCOMPARE(picker.caption(),
             QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 17h, y = 05h"));

    picker.click(106);
    QCOMPARE(picker.caption(), QStringLiteral("Cursor set  ( x = 0Ah,  y = 04h )"));
    picker.hover(1);
    QCOMPARE(picker.caption(),
             QStringLiteral("Cursor set  ( x = 0Ah,  y = 04h )  x = 01h, y = 00h"));
    QCOMPARE(captions.size(), 4);
}

void TestCursorPickerModel::clickMarksOnePosition()
{
    Pipeline p;
    CursorPickerModel picker(p.transport);
    QCOMPARE(picker.colour(0), CursorPickerModel::kGreen);
    picker.click(77);
    for (int i = 0; i < DisplayModel::kPositions; ++i)
        QCOMPARE(picker.colour(i),
                 i == 77 ? CursorPickerModel::kGreen : CursorPickerModel::kDarkGrey);
}

void TestCursorPickerModel::resetMarksPositionZeroLightGreen()
{
    Pipeline p;
    CursorPickerModel picker(p.transport);
    picker.click(5);
    picker.reset();
    QCOMPARE(picker.selected(), 0);
    QCOMPARE(picker.colour(0), CursorPickerModel::kLightGreen);
    QCOMPARE(picker.colour(5), CursorPickerModel::kDarkGrey);
    QCOMPARE(p.line->opens, 0);
    picker.click(0); // a click marks it in plain green again
    QCOMPARE(picker.colour(0), CursorPickerModel::kGreen);
}

void TestCursorPickerModel::visiblePositions_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("visibleCount");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QList<int>>("hidden");

    QTest::newRow("Panel-20A 2x20")
        << 0 << 40 << QList<int>{0, 19, 24, 43} << QList<int>{20, 23, 44, 48, 95, 143};
    QTest::newRow("Panel-24B 4x24")
        << 1 << 96 << QList<int>{0, 20, 23, 44, 95} << QList<int>{96, 143};
    QTest::newRow("Panel-24C 6x24") << 2 << 144 << QList<int>{0, 23, 96, 143} << QList<int>{};
    QTest::newRow("Panel-20X  2x20")
        << 3 << 40 << QList<int>{0, 19, 24, 43} << QList<int>{20, 23, 44, 143};
}

void TestCursorPickerModel::visiblePositions()
{
    QFETCH(int, model);
    QFETCH(int, visibleCount);
    QFETCH(QList<int>, shown);
    QFETCH(QList<int>, hidden);

    Pipeline p;
    CursorPickerModel picker(p.transport);
    picker.setDisplayModel(model);
    int count = 0;
    for (int i = 0; i < DisplayModel::kPositions; ++i)
        count += picker.isVisible(i) ? 1 : 0;
    QCOMPARE(count, visibleCount);
    for (int i : shown)
        QVERIFY2(picker.isVisible(i), qPrintable(QString::number(i)));
    for (int i : hidden)
        QVERIFY2(!picker.isVisible(i), qPrintable(QString::number(i)));
}

void TestCursorPickerModel::modelChangeSendsAndRecordsNothing()
{
    Pipeline p;
    QVERIFY(p.connection.goOnline(QStringLiteral("COM1"), QStringLiteral("38400"), false));
    p.logBoard.setRecording(true);
    CursorPickerModel picker(p.transport);
    for (int model : {3, 3, 2, 0, 1})
        picker.setDisplayModel(model);
    QVERIFY(p.line->written.isEmpty());
    QVERIFY(p.monitor.history().isEmpty());
    QVERIFY(p.logBoard.logtext().isEmpty());
}

void TestCursorPickerModel::brightnessEntries()
{
    QCOMPARE(DisplayModel::brightnessEntries(0), 8);
    QCOMPARE(DisplayModel::brightnessEntries(1), 8);
    QCOMPARE(DisplayModel::brightnessEntries(2), 8);
    QCOMPARE(DisplayModel::brightnessEntries(3), 16);
}

QTEST_GUILESS_MAIN(TestCursorPickerModel)
#include "tst_cursorpickermodel.moc"
