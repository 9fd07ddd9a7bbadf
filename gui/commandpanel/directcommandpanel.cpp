#include "gui/commandpanel/directcommandpanel.h"

#include "core/commands/commandcatalogue.h"
#include "core/session/displaymodel.h"
#include "core/session/setupstate.h"
#include "core/transport/commandtransport.h"
#include "gui/commandpanel/blinkgroup.h"
#include "gui/commandpanel/commandbuttongroup.h"
#include "gui/commandpanel/commandlists.h"
#include "gui/commandpanel/ramfonteditor.h"
#include "gui/commandpanel/textentrygroup.h"
#include "gui/commandpanel/waitgroup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kScreensaverPowerOff = 0;
constexpr int kScreensaverPowerOn = 1;
} // namespace

struct DirectCommandPanel::Private
{
    Private(CommandTransport &t, SetupState &s)
        : transport(t)
        , state(s)
    {
    }

    CommandTransport &transport;
    SetupState &state;
    CommandCatalogue catalogue;
    QHash<QString, CommandButtonGroup *> groups;
    CommandLists *lists = nullptr;
    RamFontEditor *ramFont = nullptr;
    BlinkGroup *blink = nullptr;
    std::function<void()> resetPicker;
};

DirectCommandPanel::DirectCommandPanel(CommandTransport &transport, SetupState &state, Prompt &,
                                       QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(transport, state))
{
    for (const CommandCatalogue::ButtonGroup &group : d->catalogue.groups()) {
        if (group.name != QLatin1String("RAMuserfont")) // the font editor holds that pair
            d->groups.insert(group.name, new CommandButtonGroup(group, transport, this));
    }
    d->lists = new CommandLists(d->catalogue, transport, state, this);
    d->ramFont = new RamFontEditor(d->catalogue, transport, this);
    d->groups.insert(QStringLiteral("RAMuserfont"), d->ramFont->onOffPair());
    d->blink = new BlinkGroup(transport, this);
    buildLayout();
    allowNarrowButtons();
    // The picker stands right below; extra height belongs to it, not to gaps in here.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

DirectCommandPanel::~DirectCommandPanel() = default;

void DirectCommandPanel::setResetPickerHandler(std::function<void()> handler)
{
    d->resetPicker = std::move(handler);
}

void DirectCommandPanel::applyDisplayModel(int model)
{
    d->lists->showBrightnessLevels(DisplayModel::model(model).brightnessLevels);
}

const CommandCatalogue &DirectCommandPanel::catalogue() const
{
    return d->catalogue;
}

void DirectCommandPanel::allowNarrowButtons()
{
    // The style gives every captioned button at least 80 px, which would push the
    // panel past the tab's width; the caption itself is the true minimum.
    constexpr int kPadding = 14;
    for (QPushButton *button : findChildren<QPushButton *>()) {
        QString caption = button->text();
        if (caption.isEmpty())
            continue;
        caption.remove(QLatin1Char('&'));
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(caption) + kPadding);
    }
}

void DirectCommandPanel::buildLayout()
{
    auto *left = new QVBoxLayout;
    left->addWidget(new TextEntryGroup(d->transport, this));
    left->addWidget(buildScreenControl());
    left->addStretch(1);

    auto *right = new QVBoxLayout;
    right->addWidget(d->ramFont);
    right->addWidget(d->blink);
    right->addWidget(new WaitGroup(d->transport, this));
    right->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addWidget(buildSettings(), 0, Qt::AlignTop);
    layout->addLayout(right, 0);
}

QWidget *DirectCommandPanel::buildScreenControl()
{
    auto *box = new QGroupBox(QStringLiteral("Screen control"), this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
    // Ctrl and InsDel two to a row; the two mode groups one column each.
    CommandButtonGroup *ctrl = d->groups.value(QStringLiteral("Ctrl"));
    for (int i = 0; i < ctrl->size(); ++i)
        grid->addWidget(ctrl->button(i), i / 2, i % 2);
    CommandButtonGroup *insDel = d->groups.value(QStringLiteral("InsDel"));
    for (int i = 0; i < insDel->size(); ++i)
        grid->addWidget(insDel->button(i), 3 + i / 2, i % 2);
    const int modeRow = 5;
    grid->addWidget(new QLabel(QStringLiteral("Display mode"), box), modeRow, 0);
    grid->addWidget(new QLabel(QStringLiteral("Write mode"), box), modeRow, 1);
    CommandButtonGroup *dispMod = d->groups.value(QStringLiteral("DispMod"));
    for (int i = 0; i < dispMod->size(); ++i)
        grid->addWidget(dispMod->button(i), modeRow + 1 + i, 0);
    CommandButtonGroup *wrMod = d->groups.value(QStringLiteral("WrMod"));
    for (int i = 0; i < wrMod->size(); ++i)
        grid->addWidget(wrMod->button(i), modeRow + 1 + i, 1);
    return box;
}

QWidget *DirectCommandPanel::buildSettings()
{
    auto *box = new QGroupBox(QStringLiteral("Character attributes and display settings"), this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
    int row = 0;
    // "On" stands in the same column in every pair, whatever its index.
    for (const char *name : {"CharBlk", "CharUl", "ChrWid", "SpFontSel"}) {
        CommandButtonGroup *pair = d->groups.value(QString::fromLatin1(name));
        grid->addWidget(new QLabel(pair->group().label, box), row, 0);
        for (int i = 0; i < pair->size(); ++i) {
            const bool isOn = pair->group().actions.at(i).caption == QLatin1String("On");
            grid->addWidget(pair->button(i), row, isOn ? 1 : 2);
        }
        ++row;
    }
    for (const CommandCatalogue::OptionList &list : d->catalogue.lists()) {
        grid->addWidget(new QLabel(list.label, box), row, 0);
        if (list.name == QLatin1String("BlkSpdList")) {
            // The unit shares the list's cell so it does not widen the group.
            auto *cell = new QHBoxLayout;
            cell->addWidget(d->lists->combo(list.name), 1);
            cell->addWidget(new QLabel(QStringLiteral("13.5ms"), box));
            grid->addLayout(cell, row, 1, 1, 2);
        } else {
            grid->addWidget(d->lists->combo(list.name), row, 1, 1, 2);
        }
        ++row;
    }
    for (const CommandCatalogue::SingleButton &single : d->catalogue.singles()) {
        auto *button = new QPushButton(single.action.caption, box);
        button->setObjectName(single.name);
        connect(button, &QPushButton::clicked, this,
                [this, name = single.name] { initializeOrReset(name); });
        grid->addWidget(button, row, single.name == QLatin1String("ModInit") ? 1 : 2);
    }
    return box;
}

void DirectCommandPanel::initializeOrReset(const QString &name)
{
    const CommandCatalogue::SingleButton &single = d->catalogue.single(name);
    d->transport.issue(Command{single.action.command, single.action.title, single.help});
    ResetPanel();
    // After a module reset the display is powered on whatever the list showed.
    QComboBox *saver = d->lists->combo(QStringLiteral("ScreensaverList"));
    if (name == QLatin1String("ModReset") && saver->currentIndex() == kScreensaverPowerOff)
        d->lists->selectSilently(saver->objectName(), kScreensaverPowerOn);
}

void DirectCommandPanel::ResetPanel()
{
    d->blink->setContinuousShown(false);
    if (d->resetPicker)
        d->resetPicker();
    for (const char *name :
         {"DispMod", "SpFontSel", "ChrWid", "CharUl", "WrMod", "CharBlk", "RAMuserfont"})
        d->groups.value(QString::fromLatin1(name))->resetChoice();

    d->state.setListsReady(false);
    for (const char *name : {"SpdList", "BlkSpdList", "IFList", "CTList", "LumList",
                             "CursorModeList", "FontMagList", "CharBright"}) {
        const CommandCatalogue::OptionList &list = d->catalogue.list(QString::fromLatin1(name));
        d->lists->combo(list.name)->setCurrentIndex(list.startIndex);
    }
    // Initialize leaves a powered-off display off; every other saver mode returns to power on.
    QComboBox *saver = d->lists->combo(QStringLiteral("ScreensaverList"));
    if (saver->currentIndex() != kScreensaverPowerOff)
        saver->setCurrentIndex(kScreensaverPowerOn);
    d->state.setListsReady(true);
}
