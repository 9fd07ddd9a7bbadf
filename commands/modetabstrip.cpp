#include "commands/modetabstrip.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

// Plain switching until the mode cautions land.
struct ModeTabStrip::Private
{
    QTabBar *tabs = nullptr;
    QStackedWidget *stack = nullptr;
    std::function<bool(int)> modeActive;
};

ModeTabStrip::ModeTabStrip(Prompt &, QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    d->tabs = new QTabBar(this);
    d->tabs->setObjectName(QStringLiteral("TabStrip1"));
    d->stack = new QStackedWidget(this);
    const QStringList captions = {QStringLiteral("Direct Command Mode"),
                                  QStringLiteral("User Setup Mode"),
                                  QStringLiteral("Serial OUT Mode")};
    for (int i = 0; i < captions.size(); ++i) {
        d->tabs->addTab(captions[i]);
        auto *page = new QWidget(d->stack);
        page->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        d->stack->addWidget(page);
    }
    layout->addWidget(d->tabs);
    layout->addWidget(d->stack, 1);
    connect(d->tabs, &QTabBar::currentChanged, d->stack, &QStackedWidget::setCurrentIndex);
}

ModeTabStrip::~ModeTabStrip() = default;

QWidget *ModeTabStrip::panel(int index) const
{
    return d->stack->widget(index);
}

int ModeTabStrip::currentTab() const
{
    return d->stack->currentIndex();
}

void ModeTabStrip::setModeActiveQuery(std::function<bool(int)> query)
{
    d->modeActive = std::move(query);
}
