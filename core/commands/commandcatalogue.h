#pragma once

#include "core/base/command.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// The direct commands as data: every button row and option list of the
// command panel with its caption, command text (escape notation), title and
// help. The panel builds its controls from these tables and runs one handler
// per kind of control over them; the tests walk the same tables.
class CommandCatalogue
{
    Q_GADGET
public:
    // The rows, by the objectName of their controls. A lookup takes one of
    // these, so a misspelt name does not compile.
    enum class Group {
        Ctrl,
        InsDel,
        DispMod,
        WrMod,
        CharBlk,
        CharUl,
        ChrWid,
        SpFontSel,
        RAMuserfont
    };
    Q_ENUM(Group)
    enum class List {
        CharBright,
        LumList,
        CursorModeList,
        ScreensaverList,
        FontMagList,
        IFList,
        CTList,
        SpdList,
        BlkSpdList
    };
    Q_ENUM(List)
    enum class Single { ModInit, ModReset };
    Q_ENUM(Single)

    struct Action
    {
        QString caption{};
        QString command{}; // the command text
        QString title{};   // as the monitor and the Log Board name the command
    };

    // A row of buttons; element i is named name + "_" + i.
    struct ButtonGroup
    {
        Group id{};
        QString name{};  // the id's name
        QString label{}; // the row label beside an on/off pair; empty otherwise
        QList<Action> actions{};
        QString help{};
        // Clicks that arrive while this command sends must not start another:
        // its commands hold the window.
        bool disablesWindow = false;
        // The element shown light green at start and after a panel reset;
        // -1 for plain command buttons that show no choice.
        int startChoice = -1;

        Command command(int i) const;
    };

    struct OptionList
    {
        List id{};
        QString name{}; // the id's name
        QString label{};
        QStringList items{};
        int startIndex = 0; // selected at start and, by a panel reset, again
        // The entry a panel reset leaves selected when it is; -1 for none.
        int keptOnReset = -1;
        QString titlePrefix{}; // the title is this + the entry's text
        QString help{};
        bool disablesWindow = false;
        QString (*commandText)(int k) = nullptr; // empty for an index it has no command for

        // Entry k's command; entryText is the entry as the list shows it.
        Command command(int k, const QString &entryText) const;
    };

    // A button without an index: Initialize and Reset.
    struct SingleButton
    {
        Single id{};
        QString name{}; // the id's name
        Action action{};
        QString help{};

        Command command() const;
    };

    CommandCatalogue();

    const QList<ButtonGroup> &groups() const { return m_groups; }
    const ButtonGroup &group(Group id) const;
    const QList<OptionList> &lists() const { return m_lists; }
    const OptionList &list(List id) const;
    const QList<SingleButton> &singles() const { return m_singles; }
    const SingleButton &single(Single id) const;

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
