#include "gui/commandpanel/directcommandpanel.h"

#include "core/base/displaymodel.h"
#include "core/commands/commandcatalogue.h"
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
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

using Group = CommandCatalogue::Group;
using List = CommandCatalogue::List;
using Single = CommandCatalogue::Single;

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
    QMap<Group, CommandButtonGroup *> groups;
    CommandLists *lists = nullptr;
    RamFontEditor *ramFont = nullptr;
    BlinkGroup *blink = nullptr;
    std::function<void()> resetPicker;
    QGridLayout *columns = nullptr;
    QVBoxLayout *left = nullptr;
    QWidget *settings = nullptr;
    QWidget *third = nullptr; // font, blink and wait
    QGridLayout *thirdLayout = nullptr;
    QList<QWidget *> thirdGroups; // font, blink, wait
    bool thirdBeside = false;
};

DirectCommandPanel::DirectCommandPanel(CommandTransport &transport, SetupState &state, Prompt &,
                                       QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(transport, state))
{
    for (const CommandCatalogue::ButtonGroup &group : d->catalogue.groups()) {
        if (group.id != Group::RAMuserfont) // the font editor holds that pair
            d->groups.insert(group.id, new CommandButtonGroup(group, transport, this));
    }
    d->lists = new CommandLists(d->catalogue, transport, state, this);
    d->ramFont = new RamFontEditor(d->catalogue, transport, this);
    d->groups.insert(Group::RAMuserfont, d->ramFont->onOffPair());
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
    d->left = new QVBoxLayout;
    d->left->addWidget(new TextEntryGroup(d->transport, this));
    d->left->addWidget(buildScreenControl());
    d->left->addStretch(1);
    d->settings = buildSettings();

    d->third = new QWidget(this);
    d->thirdLayout = new QGridLayout(d->third);
    d->thirdLayout->setContentsMargins(0, 0, 0, 0);
    d->thirdGroups = {d->ramFont, d->blink, new WaitGroup(d->transport, this)};
    d->thirdLayout->setRowStretch(d->thirdGroups.size(), 1);

    d->columns = new QGridLayout(this);
    d->columns->setContentsMargins(0, 0, 0, 0);
    // The panel says what it needs itself: the layout's minimum would be the
    // three columns' even where two rows would do.
    d->columns->setSizeConstraint(QLayout::SetNoConstraint);
    d->columns->addLayout(d->left, 0, 0);
    d->columns->addWidget(d->settings, 0, 1, Qt::AlignTop);
    d->columns->setColumnStretch(0, 1);
    placeThirdColumn(true);
}

int DirectCommandPanel::besideWidth(bool minimum) const
{
    const auto width = [minimum](const QWidget *w) {
        return minimum ? w->minimumSizeHint().width() : w->sizeHint().width();
    };
    int third = 0;
    for (const QWidget *group : d->thirdGroups)
        third = qMax(third, width(group));
    const int left = minimum ? d->left->minimumSize().width() : d->left->sizeHint().width();
    return left + width(d->settings) + third + 2 * d->columns->horizontalSpacing();
}

int DirectCommandPanel::belowWidth() const
{
    const int spacing = d->columns->horizontalSpacing();
    const int font = d->ramFont->minimumSizeHint().width();
    const int blinkAndWait =
        qMax(d->blink->minimumSizeHint().width(), d->thirdGroups.last()->minimumSizeHint().width());
    const int columns = d->left->minimumSize().width() + d->settings->minimumSizeHint().width();
    return qMax(columns, font + blinkAndWait) + spacing;
}

QSize DirectCommandPanel::sizeHint() const
{
    return {besideWidth(false), d->columns->sizeHint().height()};
}

QSize DirectCommandPanel::minimumSizeHint() const
{
    return {belowWidth(), d->columns->minimumSize().height()};
}

void DirectCommandPanel::resizeEvent(QResizeEvent *event)
{
    const bool beside = event->size().width() >= besideWidth(true);
    if (beside != d->thirdBeside)
        placeThirdColumn(beside);
    QWidget::resizeEvent(event);
}

void DirectCommandPanel::placeThirdColumn(bool beside)
{
    d->thirdBeside = beside;
    d->columns->removeWidget(d->third);
    for (QWidget *group : d->thirdGroups)
        d->thirdLayout->removeWidget(group);
    QWidget *font = d->thirdGroups.at(0);
    QWidget *blink = d->thirdGroups.at(1);
    QWidget *wait = d->thirdGroups.at(2);
    if (beside) {
        d->thirdLayout->addWidget(font, 0, 0, Qt::AlignTop);
        d->thirdLayout->addWidget(blink, 1, 0, Qt::AlignTop);
        d->thirdLayout->addWidget(wait, 2, 0, Qt::AlignTop);
        d->columns->addWidget(d->third, 0, 2);
    } else {
        // Below, the font stands beside blink and wait: the height is what is short.
        d->thirdLayout->addWidget(font, 0, 0, 2, 1, Qt::AlignTop);
        d->thirdLayout->addWidget(blink, 0, 1, Qt::AlignTop);
        d->thirdLayout->addWidget(wait, 1, 1, Qt::AlignTop);
        d->columns->addWidget(d->third, 1, 0, 1, 2, Qt::AlignLeft);
    }
    updateGeometry();
}

QWidget *DirectCommandPanel::buildScreenControl()
{
    auto *box = new QGroupBox(QStringLiteral("Screen control"), this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
    // Ctrl and InsDel two to a row; the two mode groups one column each.
    CommandButtonGroup *ctrl = d->groups.value(Group::Ctrl);
    for (int i = 0; i < ctrl->size(); ++i)
        grid->addWidget(ctrl->button(i), i / 2, i % 2);
    CommandButtonGroup *insDel = d->groups.value(Group::InsDel);
    for (int i = 0; i < insDel->size(); ++i)
        grid->addWidget(insDel->button(i), 3 + i / 2, i % 2);
    const int modeRow = 5;
    grid->addWidget(new QLabel(QStringLiteral("Display mode"), box), modeRow, 0);
    grid->addWidget(new QLabel(QStringLiteral("Write mode"), box), modeRow, 1);
    CommandButtonGroup *dispMod = d->groups.value(Group::DispMod);
    // The last display mode stands alone in its row: it may take both columns,
    // which keeps the first column as narrow as its other captions.
    for (int i = 0; i < dispMod->size(); ++i)
        grid->addWidget(dispMod->button(i), modeRow + 1 + i, 0, 1,
                        i == dispMod->size() - 1 ? 2 : 1);
    CommandButtonGroup *wrMod = d->groups.value(Group::WrMod);
    for (int i = 0; i < wrMod->size(); ++i)
        grid->addWidget(wrMod->button(i), modeRow + 1 + i, 1);
    return box;
}

QWidget *DirectCommandPanel::buildSettings()
{
    auto *box = new QGroupBox(QStringLiteral("Character attributes and display settings"), this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(3);
    int row = 0;
    // "On" stands in the same column in every pair, whatever its index.
    for (const Group id : {Group::CharBlk, Group::CharUl, Group::ChrWid, Group::SpFontSel}) {
        CommandButtonGroup *pair = d->groups.value(id);
        grid->addWidget(new QLabel(pair->group().label, box), row, 0);
        for (int i = 0; i < pair->size(); ++i) {
            const bool isOn = pair->group().actions.at(i).caption == QLatin1String("On");
            grid->addWidget(pair->button(i), row, isOn ? 1 : 2);
        }
        ++row;
    }
    for (const CommandCatalogue::OptionList &list : d->catalogue.lists()) {
        grid->addWidget(new QLabel(list.label, box), row, 0);
        if (list.id == List::BlkSpdList) {
            // The unit shares the list's cell so it does not widen the group.
            auto *cell = new QHBoxLayout;
            cell->addWidget(d->lists->combo(list.id), 1);
            cell->addWidget(new QLabel(QStringLiteral("13.5ms"), box));
            grid->addLayout(cell, row, 1, 1, 2);
        } else {
            grid->addWidget(d->lists->combo(list.id), row, 1, 1, 2);
        }
        ++row;
    }
    for (const CommandCatalogue::SingleButton &single : d->catalogue.singles()) {
        auto *button = new QPushButton(single.action.caption, box);
        button->setObjectName(single.name);
        connect(button, &QPushButton::clicked, this,
                [this, id = single.id] { initializeOrReset(id); });
        grid->addWidget(button, row, single.id == Single::ModInit ? 1 : 2);
    }
    return box;
}

void DirectCommandPanel::initializeOrReset(Single id)
{
    d->transport.issue(d->catalogue.single(id).command());
    resetPanel();
    // After a module reset the display is powered on whatever the list showed:
    // the entry the panel reset keeps goes back to the start entry too.
    const CommandCatalogue::OptionList &saver = d->catalogue.list(List::ScreensaverList);
    if (id == Single::ModReset && d->lists->combo(saver.id)->currentIndex() == saver.keptOnReset)
        d->lists->selectSilently(saver.id, saver.startIndex);
}

void DirectCommandPanel::resetPanel()
{
    d->blink->setContinuousShown(false);
    if (d->resetPicker)
        d->resetPicker();
    // Every row that shows a choice shows its start choice again, and every list
    // its start entry, without sending anything.
    for (const CommandCatalogue::ButtonGroup &group : d->catalogue.groups()) {
        if (group.startChoice >= 0)
            d->groups.value(group.id)->resetChoice();
    }
    d->state.setListsReady(false);
    for (const CommandCatalogue::OptionList &list : d->catalogue.lists()) {
        QComboBox *combo = d->lists->combo(list.id);
        if (list.keptOnReset < 0 || combo->currentIndex() != list.keptOnReset)
            combo->setCurrentIndex(list.startIndex);
    }
    d->state.setListsReady(true);
}
