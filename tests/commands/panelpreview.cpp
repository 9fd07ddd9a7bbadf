// Shows the command panel as the main window's tab holds it, beside a stand-in
// for the 24 x 6 cursor picker, so its layout can be looked at on a 1366 x 768
// screen:  xvfb-run -s '-screen 0 1366x768x24' ./panelpreview
#include "panelbench.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    PanelBench bench;
    QTabWidget window;
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
    layout->addWidget(&bench.panel);
    layout->addWidget(picker, 0, Qt::AlignLeft);
    window.addTab(page, QStringLiteral("Direct Command Mode"));
    window.addTab(new QWidget, QStringLiteral("User Setup Mode"));
    // A few dots and choices, so the state colours can be judged too.
    for (const int e : {0, 4, 6, 8, 12, 17, 22, 27, 32, 36, 38})
        bench.click(QStringLiteral("FontCommandButton_%1").arg(e));
    bench.click(QStringLiteral("DispMod_1"));
    bench.click(QStringLiteral("CharBlk_0"));
    bench.choose(QStringLiteral("BlkCnt_Combo"), 0);
    bench.click(QStringLiteral("BlkActExe"));
    window.move(0, 0);
    window.resize(975, 700);
    window.show();
    if (argc > 1 && QString::fromLatin1(argv[1]) == QLatin1String("--quit"))
        QTimer::singleShot(0, &app, [&] {
            qInfo("panel %dx%d, page %dx%d", bench.panel.minimumSizeHint().width(),
                  bench.panel.minimumSizeHint().height(), window.sizeHint().width(),
                  window.sizeHint().height());
            for (const QGroupBox *box : bench.panel.findChildren<QGroupBox *>())
                qInfo("%s: %dx%d", qPrintable(box->title()), box->minimumSizeHint().width(),
                      box->minimumSizeHint().height());
        });
    return app.exec();
}
