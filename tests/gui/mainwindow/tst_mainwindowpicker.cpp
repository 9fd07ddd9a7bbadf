#include "gui/common/monitorview.h"
#include "gui/mainwindow/cursorpicker.h"
#include "mainwindowfixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QMouseEvent>

namespace {
const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kDarkGrey(0x40, 0x40, 0x40);
} // namespace

class TestMainWindowPicker : public QObject
{
    Q_OBJECT
private slots:
    void clickSendsCursorSet_data();
    void clickSendsCursorSet();
    void hoverAndHistory();
    void panelResetRestoresTheCaption_data();
    void panelResetRestoresTheCaption();
    void modelChanges();
};

void TestMainWindowPicker::clickSendsCursorSet_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");

    QTest::newRow("0") << 0 << QByteArray::fromHex("1f2400000000") << "Cursor set(0,0)"
                       << "Cursor set  ( x = 00h,  y = 00h )";
    QTest::newRow("106") << 106 << QByteArray::fromHex("1f240a000400") << "Cursor set(10,4)"
                         << "Cursor set  ( x = 0Ah,  y = 04h )";
    QTest::newRow("143") << 143 << QByteArray::fromHex("1f2417000500") << "Cursor set(23,5)"
                         << "Cursor set  ( x = 17h,  y = 05h )";
}

void TestMainWindowPicker::clickSendsCursorSet()
{
    QFETCH(int, position);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(QString, caption);

    Window w;
    w.start("zCOM1\r\n2012"); // online, 6x24
    w.p.logBoard.setRecording(true);
    w.clickPosition(position);
    QCOMPARE(w.p.line->written, bytes);
    QCOMPARE(w.find<MonitorView>("sendCommandBox")->toPlainText(), title);
    QCOMPARE(w.find<MonitorView>("sendHelpBox")->toPlainText(),
             QStringLiteral("-OpCode- xL   0  yL   0  (xL:CursorX)(yL:CursorY"));
    QString sent;
    for (const char byte : bytes)
        sent += QStringLiteral("[%1]").arg(quint8(byte), 2, 16, QLatin1Char('0'));
    QCOMPARE(w.find<MonitorView>("SendTextBox")->toPlainText(), sent);
    QVERIFY(w.p.logBoard.logtext().startsWith("*** " + title + " ***"));
    QCOMPARE(w.find<QGroupBox>("Frame7")->title(), caption);
    for (int i = 0; i < 144; ++i)
        QCOMPARE(w.find<PickerButton>(QStringLiteral("Pos_%1").arg(i))->colour(),
                 i == position ? kGreen : kDarkGrey);
    QCOMPARE(w.told(), QString());
    QVERIFY(w.form->isEnabled());
}

void TestMainWindowPicker::hoverAndHistory()
{
    Window w;
    w.start("zCOM1\r\n2012"); // 6x24
    auto *frame = w.find<QGroupBox>("Frame7");
    const auto hover = [&w](int position) {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w.find(QStringLiteral("Pos_%1").arg(position)), &move);
    };
    hover(25);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));
    hover(143); // replaces the read-out instead of adding a second one
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 17h, y = 05h"));
    w.clickPosition(106);
    hover(1);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 0Ah,  y = 04h )  x = 01h, y = 00h"));

    w.clickPosition(0);
    QCOMPARE(w.find<PickerButton>("Pos_0")->colour(), kGreen);

    auto *history = w.find<MonitorView>("TrHistory"); // one line per command, newest in view
    QCOMPARE(history->toPlainText(),
             QStringLiteral("[T]1F 24 0A 00 04 00 \n[T]1F 24 00 00 00 00 "));
    QVERIFY(history->caretAtEnd());
    w.p.monitor.clearHistory();
    QCOMPARE(history->toPlainText(), QString());
}

void TestMainWindowPicker::panelResetRestoresTheCaption_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Initialize") << "ModInit" << QByteArray::fromHex("1b40");
    QTest::newRow("Reset") << "ModReset" << QByteArray::fromHex("1b58ff");
}

void TestMainWindowPicker::panelResetRestoresTheCaption()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, bytes);
    Window w;
    w.start("zCOM1\r\n2012"); // online, 6x24
    auto *frame = w.find<QGroupBox>("Frame7");
    w.clickPosition(143);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 17h,  y = 05h )"));
    w.p.line->written.clear();

    w.click(button);
    QCOMPARE(w.p.line->written, bytes);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )"));
    QCOMPARE(w.find<PickerButton>("Pos_0")->colour(), QColor(0x80, 0xFF, 0x80));
    QCOMPARE(w.find<PickerButton>("Pos_143")->colour(), kDarkGrey);
    // A hover read-out now follows the home position, not the last click.
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w.find("Pos_25"), &move);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));
}

void TestMainWindowPicker::modelChanges()
{
    Window w;
    w.start("zCOM1\r\n2011"); // online
    w.p.logBoard.setRecording(true);
    auto *list = w.find<QComboBox>("DisplayList");
    auto *lum = w.find<QComboBox>("LumList");
    const auto hidden = [&w](int i) { return w.find(QStringLiteral("Pos_%1").arg(i))->isHidden(); };
    const auto offered = [&hidden] {
        int count = 0;
        for (int i = 0; i < 144; ++i)
            count += hidden(i) ? 0 : 1;
        return count;
    };

    list->setCurrentIndex(3);
    list->setCurrentIndex(3);
    QCOMPARE(w.state.displayModel(), 3);
    QCOMPARE(offered(), 40);
    QVERIFY(!hidden(43) && hidden(20) && hidden(44));
    QCOMPARE(lum->count(), 16); // the levels themselves are the panel's test
    lum->setCurrentIndex(12);   // "325%": issues its command, so count from here
    const QByteArray sentBefore = w.p.line->written;
    const QString logBefore = w.p.logBoard.logtext();

    list->setCurrentIndex(2);
    QCOMPARE(w.state.displayModel(), 2);
    QCOMPARE(offered(), 144);
    QCOMPARE(lum->count(), 8);
    list->setCurrentIndex(0);
    QCOMPARE(offered(), 40);
    QVERIFY(!hidden(19) && !hidden(24) && hidden(20) && hidden(48));
    list->setCurrentIndex(1);
    QCOMPARE(offered(), 96);
    QVERIFY(!hidden(23) && !hidden(95) && hidden(96));
    // Choosing a model only adapts the window.
    QCOMPARE(w.p.line->written, sentBefore);
    QCOMPARE(w.p.logBoard.logtext(), logBefore);
}

QTEST_MAIN(TestMainWindowPicker)
#include "tst_mainwindowpicker.moc"
