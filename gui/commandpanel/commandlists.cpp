#include "gui/commandpanel/commandlists.h"

#include "core/session/setupstate.h"
#include "core/transport/commandtransport.h"

#include <QComboBox>
#include <QSignalBlocker>

CommandLists::CommandLists(const CommandCatalogue &catalogue, CommandTransport &transport,
                           SetupState &state, QWidget *owner)
    : QObject(owner)
    , m_transport(transport)
    , m_state(state)
{
    for (const CommandCatalogue::OptionList &list : catalogue.lists()) {
        auto *combo = new QComboBox(owner);
        combo->setObjectName(list.name);
        {
            // Filling selects the first entry on its own; nothing may be sent for it.
            const QSignalBlocker quiet(combo);
            combo->addItems(list.items);
            combo->setCurrentIndex(list.startIndex);
        }
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, list, combo](int k) { changed(list, combo, k); });
        connect(combo, &QComboBox::activated, this,
                [this, list, combo](int k) { activated(list, combo, k); });
        m_combos.insert(list.id, combo);
    }
    m_baseBrightnessLevels = catalogue.list(CommandCatalogue::List::LumList).items.size();
}

void CommandLists::selectSilently(CommandCatalogue::List id, int index)
{
    const bool ready = m_state.listsReady();
    m_state.setListsReady(false);
    m_combos.value(id)->setCurrentIndex(index);
    m_state.setListsReady(ready);
}

void CommandLists::showBrightnessLevels(int levels)
{
    QComboBox *lum = m_combos.value(CommandCatalogue::List::LumList);
    const QStringList extra = CommandCatalogue::extraBrightnessItems();
    const int base = int(m_baseBrightnessLevels);
    const QSignalBlocker quiet(lum);
    if (levels > base) {
        if (lum->count() == base)
            lum->addItems(extra);
        return;
    }
    if (lum->count() != base + extra.size())
        return;
    // Left alone, the list would move the selection to another level.
    if (lum->currentIndex() >= base)
        lum->setCurrentIndex(-1);
    for (int i = lum->count() - 1; i >= base; --i)
        lum->removeItem(i);
}

void CommandLists::changed(const CommandCatalogue::OptionList &list, QComboBox *combo, int k)
{
    m_changedList = nullptr;
    if (!m_state.listsReady() || k < 0)
        return;
    m_changedList = combo;
    m_changedIndex = k;
    run(list, combo, k);
}

void CommandLists::activated(const CommandCatalogue::OptionList &list, QComboBox *combo, int k)
{
    const bool alreadyIssued = m_changedList == combo && m_changedIndex == k;
    m_changedList = nullptr;
    if (alreadyIssued)
        return;
    if (!m_state.listsReady() || k < 0)
        return;
    run(list, combo, k);
}

void CommandLists::run(const CommandCatalogue::OptionList &list, QComboBox *combo, int k)
{
    m_transport.issue(list.command(k, combo->itemText(k)));
}
