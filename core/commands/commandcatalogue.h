#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The direct commands as data: every button row and option list of the
// command panel with its caption, command text (escape notation), title and
// help. The panel builds its controls from these tables and runs one handler
// per kind of control over them; the tests walk the same tables.
class CommandCatalogue
{
public:
    struct Action
    {
        QString caption{};
        QString command{};
        QString title{}; // as the monitor and the Log Board name the command
    };

    // A row of buttons; element i is named name + "_" + i.
    struct ButtonGroup
    {
        QString name{};
        QString label{}; // the row label beside an on/off pair; empty otherwise
        QList<Action> actions{};
        QString help{};
        // Clicks that arrive while this command sends must not start another.
        bool disablesWindow = false;
        // The element shown light green at start and after a panel reset;
        // -1 for plain command buttons that show no choice.
        int startChoice = -1;
    };

    struct OptionList
    {
        QString name{};
        QString label{};
        QStringList items{};
        int startIndex = 0;
        QString titlePrefix{}; // the title is this + the entry's text
        QString help{};
        bool disablesWindow = false;
        QString (*command)(int k) = nullptr; // empty text for an index it has no command for
    };

    // A button without an index: Initialize and Reset.
    struct SingleButton
    {
        QString name{};
        Action action{};
        QString help{};
    };

    CommandCatalogue();

    // Ctrl, InsDel, DispMod, WrMod, CharBlk, CharUl, ChrWid, SpFontSel, RAMuserfont.
    const QList<ButtonGroup> &groups() const { return m_groups; }
    const ButtonGroup &group(QStringView name) const;

    // CharBright, LumList, CursorModeList, ScreensaverList, FontMagList, IFList,
    // CTList, SpdList, BlkSpdList.
    const QList<OptionList> &lists() const { return m_lists; }
    const OptionList &list(QStringView name) const;

    // ModInit, ModReset.
    const QList<SingleButton> &singles() const { return m_singles; }
    const SingleButton &single(QStringView name) const;

    // The eight brightness entries a display model with sixteen levels adds.
    static QStringList extraBrightnessItems();
    // "1" to "255": the blink times t1 and t2.
    static QStringList blinkTimeItems();
    // "Continuously", then "1 times" to "255 times".
    static QStringList blinkCountItems();

private:
    QList<ButtonGroup> m_groups;
    QList<OptionList> m_lists;
    QList<SingleButton> m_singles;
};
