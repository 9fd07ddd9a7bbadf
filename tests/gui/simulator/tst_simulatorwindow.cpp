// The "Simulated display" window, found by its parts' names.

#include "core/module/modulemodel.h"
#include "gui/simulator/glasswidget.h"
#include "gui/simulator/simulatorwindow.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

class SimulatorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void showsWhatTheModuleRead();
};

void SimulatorWindowTest::showsWhatTheModuleRead()
{
    ModuleModel model(std::make_shared<ManualModuleClock>());
    SimulatorWindow window(model);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *glass = window.findChild<GlassWidget *>(QStringLiteral("Glass"));
    auto *list = window.findChild<QListWidget *>(QStringLiteral("DecodedCommands"));
    model.receive(QByteArray("\x1b\x40Hello\x1b\x99", 9));
    QTRY_VERIFY(glass->picture().litDots() > 0);
    QTRY_COMPARE(list->count(), 4);
    QCOMPARE(list->item(2)->text(), QStringLiteral("!! Not understood  1B"));
    QCOMPARE(list->item(2)->foreground().color(), QColor(200, 30, 30));
    model.receive(QByteArray::fromHex("1f28614002")); // all dots off
    QTRY_COMPARE(glass->picture().litDots(), 0);

    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("ClearCommands")),
                      Qt::LeftButton);
    model.receive("\n");
    window.refresh();
    QCOMPARE(list->count(), 1);

    const QSize four = glass->sizeHint();
    window.setDisplayModel(2);
    QCOMPARE(glass->picture().rows, 6);
    QVERIFY(glass->sizeHint().height() > four.height());
}

QTEST_MAIN(SimulatorWindowTest)
#include "tst_simulatorwindow.moc"
