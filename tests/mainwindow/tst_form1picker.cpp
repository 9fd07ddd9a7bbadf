#include "mainwindow/cursorpicker.h"
#include "mainwindowfixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

class TestForm1Picker : public QObject
{
    Q_OBJECT
private slots:
    void pickerClicksAndHover();
    void modelChanges();
    void historyGrowsLineByLine();
};

void TestForm1Picker::pickerClicksAndHover()
{
    Window w;
    w.start(QByteArray("zCOM1\r\n2012")); // online, 6x24
    auto *frame = w.find<QGroupBox>(QStringLiteral("Frame7"));

    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w.widget(QStringLiteral("Pos_25")), &move);
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"));

    w.clickPosition(0);
    QCOMPARE(w.p.line->written, QByteArray::fromHex("1f2400000000"));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendCommandBox"))->text(),
             QStringLiteral("Cursor set(0,0)"));
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 00h,  y = 00h )"));

    w.clickPosition(143);
    QCOMPARE(w.p.line->written, QByteArray::fromHex("1f2400000000"
                                                    "1f2417000500"));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendCommandBox"))->text(),
             QStringLiteral("Cursor set(23,5)"));
    QCOMPARE(w.find<QLineEdit>(QStringLiteral("sendHelpBox"))->text(),
             QStringLiteral("-OpCode- xL   0  yL   0  (xL:CursorX)(yL:CursorY"));
    QCOMPARE(w.find<QPlainTextEdit>(QStringLiteral("SendTextBox"))->toPlainText(),
             QStringLiteral("[1f][24][17][00][05][00]"));
    QCOMPARE(frame->title(), QStringLiteral("Cursor set  ( x = 17h,  y = 05h )"));
    QCOMPARE(w.find<PickerButton>(QStringLiteral("Pos_143"))->colour(), QColor(0x00, 0xFF, 0x00));
    QCOMPARE(w.find<PickerButton>(QStringLiteral("Pos_0"))->colour(), QColor(0x40, 0x40, 0x40));
    QVERIFY(w.form->isEnabled());
}

void TestForm1Picker::modelChanges()
{
    Window w;
    w.start(QByteArray("zCOM1\r\n2011")); // online
    w.p.logBoard.setRecording(true);
    auto *list = w.combo(QStringLiteral("DisplayList"));
    auto *lum = w.find<QComboBox>(QStringLiteral("LumList"));

    list->setCurrentIndex(3);
    list->setCurrentIndex(3);
    QCOMPARE(w.p.state.displayModel(), 3);
    QVERIFY(w.widget(QStringLiteral("Pos_20"))->isHidden());
    QVERIFY(w.widget(QStringLiteral("Pos_44"))->isHidden());
    QVERIFY(!w.widget(QStringLiteral("Pos_43"))->isHidden());
    if (lum) {
        QCOMPARE(lum->count(), 16);
        QCOMPARE(lum->itemText(15), QStringLiteral("400%"));
        lum->setCurrentIndex(12); // "325%": issues its command, so count from here
    }
    const QByteArray sentBefore = w.p.line->written;
    const QString logBefore = w.p.logBoard.logtext();

    list->setCurrentIndex(2);
    QCOMPARE(w.p.state.displayModel(), 2);
    QVERIFY(!w.widget(QStringLiteral("Pos_143"))->isHidden());
    if (lum) {
        QCOMPARE(lum->count(), 8);
        QCOMPARE(lum->currentIndex(), -1);
    }
    list->setCurrentIndex(0);
    QVERIFY(w.widget(QStringLiteral("Pos_20"))->isHidden());
    list->setCurrentIndex(1);
    QVERIFY(!w.widget(QStringLiteral("Pos_95"))->isHidden());
    QVERIFY(w.widget(QStringLiteral("Pos_96"))->isHidden());
    // Choosing a model only adapts the window.
    QCOMPARE(w.p.line->written, sentBefore);
    QCOMPARE(w.p.logBoard.logtext(), logBefore);
    if (!lum)
        QSKIP("the brightness list is not on the command panel yet");
}

void TestForm1Picker::historyGrowsLineByLine()
{
    Window w;
    w.start();
    auto *history = w.find<QPlainTextEdit>(QStringLiteral("TrHistory"));
    w.clickPosition(1);
    w.clickPosition(2);
    QCOMPARE(history->toPlainText(),
             QStringLiteral("[T]1F 24 01 00 00 00 \n[T]1F 24 02 00 00 00 "));
    QVERIFY(history->textCursor().atEnd());
    w.p.monitor.clearHistory();
    QCOMPARE(history->toPlainText(), QString());
}

QTEST_MAIN(TestForm1Picker)
#include "tst_form1picker.moc"
