// The widgets both windows share: the monitor's read-only boxes (rows computed,
// not measured; what the user selects with mouse and keyboard and copies is
// exactly the text), and the one way a control or the window refuses input
// while a command is on its way.
#include "core/transport/monitorformat.h"
#include "core/transport/monitortext.h"
#include "core/transport/outputmonitor.h"
#include "gui/common/busyguard.h"
#include "gui/common/monitorlayout.h"
#include "gui/common/monitorview.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

Codes counting(qsizetype size)
{
    Codes codes(size);
    for (qsizetype i = 0; i < size; ++i)
        codes[i] = qint16(i & 0xFF);
    return codes;
}

// A view shown in a window of its own, as the boxes are in the main window.
struct Shown
{
    MonitorView view;
    Shown(const MonitorText &text, MonitorView::Rows rows, int unit, QSize size)
        : view(text, rows, unit)
    {
        view.resize(size);
        view.show();
        QApplication::setActiveWindow(&view);
        view.setFocus();
    }
    // The middle of the cell of column `column` on visible row `row`.
    QPoint cell(int row, qsizetype column) const
    {
        const QFontMetricsF metrics(view.font());
        const qreal width = metrics.horizontalAdvance(QString(64, u'0')) / 64;
        const int height = qCeil(metrics.lineSpacing());
        return QPoint(3 + int((qreal(column) + 0.3) * width), 3 + row * height + height / 2);
    }
};

} // namespace

class TestCommonWidgets : public QObject
{
    Q_OBJECT
private slots:
    void rowsBreakBetweenGroups_data();
    void rowsBreakBetweenGroups();
    void keyboardAndMouseSelectAndCopy();
    void viewsFollowTheirText();
    void inputComesBackAsItWas_data();
    void inputComesBackAsItWas();
};

void TestCommonWidgets::rowsBreakBetweenGroups_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("unit");
    QTest::addColumn<qsizetype>("rowWidth");
    QTest::newRow("history, 50 columns") << qsizetype(3 + 3 * 100) << 50 << 3 << qsizetype(48);
    QTest::newRow("codes, exact fit") << qsizetype(4 * 100) << 40 << 4 << qsizetype(40);
    QTest::newRow("narrower than a group") << qsizetype(4 * 10) << 3 << 4 << qsizetype(3);
    QTest::newRow("largest command") << qsizetype(4 * kMaxCodes) << 61 << 4 << qsizetype(60);
}

void TestCommonWidgets::rowsBreakBetweenGroups()
{
    QFETCH(qsizetype, length);
    QFETCH(int, columns);
    QFETCH(int, unit);
    QFETCH(qsizetype, rowWidth);
    const PlainMonitorText text(QString(length, u'x') + QStringLiteral("\n\nabc"));
    MonitorLayout layout(text);
    layout.setWrapping(true, unit);
    layout.setColumns(columns);
    QCOMPARE(layout.rowWidth(), rowWidth);
    const qsizetype firstLineRows = (length + rowWidth - 1) / rowWidth;
    QCOMPARE(layout.rowCount(), firstLineRows + 2); // an empty line still takes a row

    const MonitorLayout::Row last = layout.row(firstLineRows - 1);
    QVERIFY(last.lastOfLine && last.start + last.length == length);
    // The border between two rows is the start of the second, unless the caret
    // was put at the end of the first.
    QCOMPARE(QList<qsizetype>({layout.rowOf({0, rowWidth}), layout.rowOf({0, rowWidth}, true),
                               layout.rowOf({0, length})}),
             QList<qsizetype>({1, 0, firstLineRows - 1}));
    QCOMPARE(layout.positionAt(1, 1000), (TextPos{0, qMin(2 * rowWidth, length)}));
}

void TestCommonWidgets::keyboardAndMouseSelectAndCopy()
{
    OutputMonitor monitor;
    monitor.appendHistory(counting(kMaxCodes));
    Shown shown(monitor.historyText(), MonitorView::Rows::Wrapped, 3, QSize(300, 160));
    MonitorView &view = shown.view;
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(view.selectedText(), QStringLiteral("00 "));
    // Rows hold as many whole "1F " groups as fit.
    const QFontMetricsF metrics(view.font());
    const auto columns = qsizetype((view.viewport()->width() - 6) /
                                   (metrics.horizontalAdvance(QString(64, u'0')) / 64));
    const qsizetype width = columns - columns % 3;

    // Far into the 393,222-character line: a double click takes one byte's digits.
    view.verticalScrollBar()->setValue(5000);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, shown.cell(1, 1));
    QCOMPARE(view.selectedText().size(), 2);
    // A drag from row 0 to row 2 selects the text between, across the row breaks.
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, shown.cell(0, 3));
    QTest::mouseMove(view.viewport(), shown.cell(2, 6));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, shown.cell(2, 6));
    const QString selected = view.selectedText();
    QCOMPARE(selected,
             MonitorFormat::historyLine(counting(kMaxCodes)).mid(5000 * width + 3, 2 * width + 3));
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), selected);
    view.grab(); // paints the rows in view, the selection among them

    // Two lines: copied with the break a text box gives.
    monitor.setCodes(QStringLiteral("log\r\n"));
    Shown codes(monitor.codesText(), MonitorView::Rows::Wrapped, 4, QSize(300, 160));
    QTest::keyClick(&codes.view, Qt::Key_A, Qt::ControlModifier);
    codes.view.copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("log\n"));
}

// The history shows its newest line; the one-line help box scrolls sideways.
void TestCommonWidgets::viewsFollowTheirText()
{
    OutputMonitor monitor;
    Shown shown(monitor.historyText(), MonitorView::Rows::Wrapped, 3, QSize(300, 120));
    MonitorView &view = shown.view;
    connect(&monitor, &OutputMonitor::historyAppended, &view, &MonitorView::appended);
    connect(&monitor, &OutputMonitor::historyReset, &view, &MonitorView::reload);
    for (int i = 0; i < 40; ++i)
        monitor.appendHistory({0x1B, qint16(i)});
    monitor.appendHistory(counting(1000));
    QScrollBar *bar = view.verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());

    monitor.clearHistory();
    monitor.appendHistory({0x0C});
    QCOMPARE(view.toPlainText(), QStringLiteral("[T]0C "));

    Shown one(monitor.helpText(), MonitorView::Rows::OneLine, 1, QSize(200, 40));
    MonitorView &box = one.view;
    QString help;
    for (int i = 0; i < 131072; ++i)
        help += QStringLiteral("  ") + QChar(u'A' + i % 26) + u' ';
    monitor.setHelp(help + QStringLiteral("\u3042\U0001F600")); // a wide and a surrogate pair
    box.reload();

    QTest::keyClick(&box, Qt::Key_End);
    QVERIFY(box.caretAtEnd());
    QVERIFY(box.horizontalScrollBar()->value() > 500000);
    box.grab();
    QTest::keyClick(&box, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(box.selectedText(), monitor.help());
    QCOMPARE(box.horizontalScrollBar()->value(), 0);
}

void TestCommonWidgets::inputComesBackAsItWas_data()
{
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("focusBefore");
    QTest::addColumn<QString>("focusMovedTo"); // by the user while held; empty: not moved
    QTest::addColumn<QString>("focusAfter");
    const auto row = [](const char *name, const char *held, const char *before, const char *moved,
                        const char *after) {
        QTest::newRow(name) << held << before << moved << after;
    };
    row("window, text box had focus", "window", "text", "", "text");
    row("button, it had focus", "send", "send", "", "send");
    row("button, focus elsewhere stays", "send", "text", "", "text");
    row("button, user moved focus meanwhile", "send", "send", "text", "text");
}

void TestCommonWidgets::inputComesBackAsItWas()
{
    QFETCH(QString, held);
    QFETCH(QString, focusBefore);
    QFETCH(QString, focusMovedTo);
    QFETCH(QString, focusAfter);
    QWidget window;
    auto *text = new QLineEdit;
    auto *send = new QPushButton;
    auto *off = new QPushButton;
    auto *layout = new QVBoxLayout(&window);
    for (QWidget *each : std::initializer_list<QWidget *>{text, send, new QPushButton, off})
        layout->addWidget(each);
    const QHash<QString, QWidget *> named{{"window", &window}, {"text", text}, {"send", send}};
    window.show();
    QApplication::setActiveWindow(&window);
    off->setEnabled(false); // and stays so, whoever holds it meanwhile
    named[focusBefore]->setFocus();
    {
        const BusyGuard busy(named[held]);
        const BusyGuard inner(off);
        QVERIFY(!send->isEnabled());
        if (!focusMovedTo.isEmpty())
            named[focusMovedTo]->setFocus();
    }
    QVERIFY(send->isEnabled());
    QVERIFY(!off->isEnabled());
    QCOMPARE(QApplication::focusWidget(), named[focusAfter]);
}

QTEST_MAIN(TestCommonWidgets)
#include "tst_commonwidgets.moc"
