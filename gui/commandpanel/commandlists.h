#pragma once

#include "core/commands/commandcatalogue.h"

#include <QMap>
#include <QObject>

class CommandTransport;
class QComboBox;
class QWidget;
class SetupState;

// The option lists of the catalogue and their one selection handler.
//
// A list issues its command when its selected entry changes while listsReady
// is set, and when the user picks the entry that is already selected (which
// changes nothing, so only the activation tells). Start-up and the panel reset
// select their entries with listsReady clear, so they send nothing.
class CommandLists : public QObject
{
    Q_OBJECT
public:
    CommandLists(const CommandCatalogue &catalogue, CommandTransport &transport, SetupState &state,
                 QWidget *owner);

    QComboBox *combo(CommandCatalogue::List id) const { return m_combos.value(id); }

    // Selects with listsReady clear, as the panel reset does; nothing is sent.
    void selectSilently(CommandCatalogue::List id, int index);

    // The brightness entries a display model has: the catalogue's, and its
    // extra ones for a model with more levels. Nothing is sent; a dropped entry
    // that was selected leaves none selected.
    void showBrightnessLevels(int levels);

private:
    void changed(const CommandCatalogue::OptionList &list, QComboBox *combo, int k);
    void activated(const CommandCatalogue::OptionList &list, QComboBox *combo, int k);
    void run(const CommandCatalogue::OptionList &list, QComboBox *combo, int k);

    CommandTransport &m_transport;
    SetupState &m_state;
    QMap<CommandCatalogue::List, QComboBox *> m_combos;
    qsizetype m_baseBrightnessLevels = 0; // LumList's entries in the catalogue
    // The list whose change has just issued its command; the activation that
    // follows that change must not issue it twice.
    QComboBox *m_changedList = nullptr;
    int m_changedIndex = -1;
};
