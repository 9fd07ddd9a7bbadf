#include "gui/setupmodes/modetabstrip.h"

#include "core/commands/setupmodecatalogue.h"
#include "core/transport/prompt.h"

#include <QKeySequence>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

// QTabBar announces a change only after it happened, and a click, a key, the
// mouse wheel or a mnemonic can each cause one. Rather than second-guess every
// route in an event filter, the strip lets the bar change, puts the old tab back
// at once with the bar's signals blocked, and only then asks: the user sees the
// tab being left while the question is open, and a refused change leaves no trace.
struct ModeTabStrip::Private
{
    Prompt &prompt;
    QTabBar *tabs = nullptr;
    QStackedWidget *stack = nullptr;
    // Timer1: the one-shot 1 ms timer that runs the tab selection once more
    // after a confirmed change away from an active mode.
    QTimer *reselectTimer = nullptr;
    std::function<bool(int)> modeActive{};
    int currentTab = 0;
};

ModeTabStrip::ModeTabStrip(Prompt &prompt, QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(Private{prompt}))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    d->tabs = new QTabBar(this);
    d->tabs->setObjectName(QStringLiteral("TabStrip1"));
    d->tabs->setExpanding(false);
    d->tabs->setDrawBase(true);
    d->stack = new QStackedWidget(this);
    d->stack->setFrameShape(QFrame::StyledPanel);
    const QStringList captions = {QStringLiteral("Direct Command Mode"),
                                  QStringLiteral("User Setup Mode"),
                                  QStringLiteral("Serial OUT Mode")};
    for (int i = 0; i < captions.size(); ++i) {
        d->tabs->addTab(captions[i]);
        auto *page = new QWidget(d->stack);
        page->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        d->stack->addWidget(page);
    }
    d->tabs->setCurrentIndex(0);
    d->stack->setCurrentIndex(0);
    layout->addWidget(d->tabs);
    layout->addWidget(d->stack, 1);

    d->reselectTimer = new QTimer(this);
    d->reselectTimer->setObjectName(QStringLiteral("Timer1"));
    d->reselectTimer->setSingleShot(true);
    d->reselectTimer->setInterval(1);
    connect(d->reselectTimer, &QTimer::timeout, this, &ModeTabStrip::selectTab);
    connect(d->tabs, &QTabBar::currentChanged, this, &ModeTabStrip::onTabBarChanged);

    // The bar itself only knows the arrow keys; these make the usual tab-switch
    // keys work anywhere in the window, through the same question.
    const auto addStep = [this](const QKeySequence &keys, int delta) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, delta] { stepTab(delta); });
    };
    addStep(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    addStep(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);
    addStep(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    addStep(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);
}

ModeTabStrip::~ModeTabStrip() = default;

QWidget *ModeTabStrip::panel(int index) const
{
    return d->stack->widget(index);
}

int ModeTabStrip::currentTab() const
{
    return d->currentTab;
}

void ModeTabStrip::setModeActiveQuery(std::function<bool(int)> query)
{
    d->modeActive = std::move(query);
}

void ModeTabStrip::stepTab(int delta)
{
    const int count = d->tabs->count();
    d->tabs->setCurrentIndex((d->tabs->currentIndex() + delta + count) % count);
}

void ModeTabStrip::onTabBarChanged(int index)
{
    if (index == d->currentTab)
        return;
    {
        const QSignalBlocker quiet(d->tabs);
        d->tabs->setCurrentIndex(d->currentTab);
    }
    if (!mayLeave(d->currentTab))
        return;
    {
        const QSignalBlocker quiet(d->tabs);
        d->tabs->setCurrentIndex(index);
    }
    selectTab();
}

bool ModeTabStrip::mayLeave(int tab)
{
    const std::optional<SetupModeCatalogue::Question> caution =
        SetupModeCatalogue::leavingCaution(tab);
    if (!caution || !d->modeActive || !d->modeActive(tab))
        return true;
    if (!d->prompt.askYesNo(caution->text, caution->title))
        return false;
    d->reselectTimer->start();
    return true;
}

void ModeTabStrip::selectTab()
{
    const int tab = d->tabs->currentIndex();
    d->stack->setCurrentIndex(tab);
    d->currentTab = tab;
    emit tabSelected(tab);
}
