// Shows the command panel as the main window's tab holds it, beside a stand-in
// for the 24 x 6 cursor picker, so its layout can be looked at on a 1366 x 768
// screen:  xvfb-run -s '-screen 0 1366x768x24' ./panelpreview
// With --quit it prints the panel's and each group's minimum size and ends.
#include "core/session/setupstate.h"
#include "gui/commandpanel/directcommandpanel.h"
#include "support/fakesession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FakeSession session;
    session.goOnline();
    SetupState state;
    state.setListsReady(true);
    QTabWidget window; // owns the panel below, and goes before the session it sends through
    auto *panel = new DirectCommandPanel(session.transport, state, session.prompt);
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *picker = new QGroupBox(QStringLiteral("Cursor set  ( x = 00h,  y = 00h )"));
    auto *grid = new QGridLayout(picker);
    grid->setSpacing(2);
    for (int i = 0; i < 144; ++i) {
        auto *pos = new QPushButton;
        pos->setFixedSize(14, 14);
        grid->addWidget(pos, i / 24, i % 24);
    }
    layout->addWidget(panel);
    layout->addWidget(picker, 0, Qt::AlignLeft);
    window.addTab(page, QStringLiteral("Direct Command Mode"));
    window.addTab(new QWidget, QStringLiteral("User Setup Mode"));

    // A few dots and choices, so the state colours can be judged too.
    auto click = [&](const QString &name) { panel->findChild<QAbstractButton *>(name)->click(); };
    for (const int e : {0, 4, 6, 8, 12, 17, 22, 27, 32, 36, 38})
        click(QStringLiteral("FontCommandButton_%1").arg(e));
    click(QStringLiteral("DispMod_1"));
    click(QStringLiteral("CharBlk_0"));
    auto *count = panel->findChild<QComboBox *>(QStringLiteral("BlkCnt_Combo"));
    count->setCurrentIndex(0);
    emit count->activated(0);
    click(QStringLiteral("BlkActExe"));

    window.move(0, 0);
    window.resize(975, 700);
    window.show();
    if (argc > 1 && QString::fromLatin1(argv[1]) == QLatin1String("--quit"))
        QTimer::singleShot(0, &app, [&] {
            qInfo("panel %dx%d, page %dx%d", panel->minimumSizeHint().width(),
                  panel->minimumSizeHint().height(), window.sizeHint().width(),
                  window.sizeHint().height());
            for (const QGroupBox *box : panel->findChildren<QGroupBox *>())
                qInfo("%s: %dx%d", qPrintable(box->title()), box->minimumSizeHint().width(),
                      box->minimumSizeHint().height());
            app.quit();
        });
    return app.exec();
}
