// The "Simulated display" window, found by its parts' names.

#include "core/module/modulemodel.h"
#include "gui/simulator/glasswidget.h"
#include "gui/simulator/simulatorwindow.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

// Counts the paints a widget gets.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Shown
{
    std::shared_ptr<ManualModuleClock> clock = std::make_shared<ManualModuleClock>();
    ModuleModel model{clock};
    SimulatorWindow window{model};

    Shown()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    template<typename T> T *part(const char *name)
    {
        return window.findChild<T *>(QLatin1String(name));
    }
};

} // namespace

class SimulatorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void listsWhatTheModuleRead();
    void changesShowWithinAFrame();
    void followsTheDisplayModel();
    void longStreamRepaintsPerFrame();
    void clearEmptiesTheList();
};

void SimulatorWindowTest::listsWhatTheModuleRead()
{
    Shown s;
    s.model.receive(QByteArray("\x1b\x40Hello\x1b\x99", 9));
    s.window.refresh();
    auto *list = s.part<QListWidget>("DecodedCommands");
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Initialize  1B 40"));
    QCOMPARE(list->item(2)->text(), QStringLiteral("!! Not understood  1B"));
    QCOMPARE(list->item(2)->foreground().color(), QColor(200, 30, 30));
    s.model.receive("ab"); // the text run grows in its row
    s.window.refresh();
    QCOMPARE(list->count(), 4);
    QVERIFY(list->item(3)->text().startsWith(QStringLiteral("Text \"\u00D6ab\"")));
}

void SimulatorWindowTest::changesShowWithinAFrame()
{
    Shown s;
    auto *glass = s.part<GlassWidget>("Glass");
    auto *list = s.part<QListWidget>("DecodedCommands");
    s.model.receive(QByteArray("\x14", 1));
    QTRY_COMPARE(glass->picture().litDots(), 0);
    s.model.receive("Hi");
    QTRY_VERIFY(glass->picture().litDots() > 0);
    QTRY_COMPARE(list->count(), 2);
    s.model.receive(QByteArray::fromHex("1f28614002")); // all dots off
    QTRY_COMPARE(glass->picture().litDots(), 0);
}

void SimulatorWindowTest::followsTheDisplayModel()
{
    Shown s;
    auto *glass = s.part<GlassWidget>("Glass");
    const QSize four = glass->sizeHint();
    s.window.setDisplayModel(2);
    QCOMPARE(glass->picture().rows, 6);
    QVERIFY(glass->sizeHint().height() > four.height());
    s.window.setDisplayModel(0);
    QCOMPARE(glass->picture().columns, 20);
    QVERIFY(glass->sizeHint().width() < four.width());
}

void SimulatorWindowTest::longStreamRepaintsPerFrame()
{
    Shown s;
    auto *glass = s.part<GlassWidget>("Glass");
    PaintCounter counter;
    glass->installEventFilter(&counter);
    QElapsedTimer timer;
    timer.start();
    // 128 KB in the 64-byte writes a command goes out in, with the window
    // running between them as it does while the program sends.
    const QByteArray chunk(64, 'z');
    for (int i = 0; i < 2048; ++i) {
        s.model.receive(chunk);
        QCoreApplication::processEvents();
    }
    QTest::qWait(2 * SimulatorWindow::kFrameMs);
    const qint64 frames = timer.elapsed() / SimulatorWindow::kFrameMs;
    QVERIFY2(counter.paints <= frames + 3,
             qPrintable(QStringLiteral("%1 paints in %2 frames").arg(counter.paints).arg(frames)));
    QVERIFY(counter.paints >= 1);
}

void SimulatorWindowTest::clearEmptiesTheList()
{
    Shown s;
    s.model.receive("abc\r");
    s.window.refresh();
    auto *list = s.part<QListWidget>("DecodedCommands");
    QCOMPARE(list->count(), 2);
    QTest::mouseClick(s.part<QPushButton>("ClearCommands"), Qt::LeftButton);
    QCOMPARE(list->count(), 0);
    s.model.receive("\n");
    s.window.refresh();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Line feed  0A"));
}

QTEST_MAIN(SimulatorWindowTest)
#include "tst_simulatorwindow.moc"
