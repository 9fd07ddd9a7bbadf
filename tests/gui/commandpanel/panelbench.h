#pragma once

#include "core/session/setupstate.h"
#include "gui/commandpanel/directcommandpanel.h"
#include "gui/common/windowhold.h"
#include "gui/setupmodes/modetabstrip.h"
#include "gui/setupmodes/setupmodepanels.h"
#include "support/fakesession.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QVBoxLayout>

inline const QColor kLightGreen(0x80, 0xFF, 0x80);

// The mode tabs with the command panel and the two set-up panels, online over
// a scripted line and wired as the main window wires them (lists ready).
struct PanelBench : FakeSession
{
    SetupState state;
    QWidget window; // destroyed first: the panels hold references to the above
    ModeTabStrip *tabs = new ModeTabStrip(prompt, &window);
    DirectCommandPanel *panel = new DirectCommandPanel(transport, state, prompt);
    UserSetupPanel *userSetup = new UserSetupPanel(transport);
    SerialOutPanel *serialOut = new SerialOutPanel(transport, connection, state, monitor, prompt);
    int pickerResets = 0;
    // Whether the window took input while each command was on its way.
    QList<bool> windowEnabledWhileSending;

    PanelBench()
    {
        window.setObjectName(QStringLiteral("Form1"));
        new WindowHold(transport, &window);
        (new QVBoxLayout(&window))->addWidget(tabs);
        QWidget *contents[] = {panel, userSetup, serialOut};
        for (int i = 0; i < 3; ++i)
            (new QVBoxLayout(tabs->panel(i)))->addWidget(contents[i]);
        tabs->setModeActiveQuery([this](int tab) { return modeActive(tab); });
        panel->setResetPickerHandler([this] { ++pickerResets; });
        QObject::connect(&transport, &CommandTransport::commandIssued, &window,
                         [this] { windowEnabledWhileSending << window.isEnabled(); });
        state.setListsReady(true);
        goOnline();
    }
    bool modeActive(int tab) const
    {
        return tab == 1 ? userSetup->modeActive() : tab == 2 && serialOut->modeActive();
    }
    template<typename T = QAbstractButton> T *find(const QString &name) const
    {
        T *widget = window.findChild<T *>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }
    QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }
    void click(const QString &name) const { find(name)->click(); }
    // A user's pick from the drop-down: the selection moves, then the list reports it.
    void choose(const QString &name, int index) const
    {
        combo(name)->setCurrentIndex(index);
        emit combo(name)->activated(index);
    }
    // Clicks a button; true if it refused clicks while its command was on its
    // way and takes them again after.
    bool clickGuarded(const QString &name)
    {
        QAbstractButton *button = find(name);
        bool refused = false;
        const auto watch = QObject::connect(&transport, &CommandTransport::commandIssued, button,
                                            [&] { refused = !button->isEnabled(); });
        button->click();
        QObject::disconnect(watch);
        return refused && button->isEnabled();
    }
    // Bytes on the line since the last take, as "1B 58 F3".
    QString take()
    {
        return QString::fromLatin1(std::exchange(line->written, {}).toHex(' ').toUpper());
    }
    QColor face() const { return window.palette().color(QPalette::Button); }
    QColor colour(const QString &name) const
    {
        return find(name)->palette().color(QPalette::Button);
    }
    // The buttons as painted: 'X' in light green and marked "selected", '-'
    // in the plain face, '?' for anything in between.
    QString painted(const QStringList &names) const
    {
        QString shown;
        for (const QString &name : names) {
            const bool selected = find(name)->property("selected").toBool();
            shown += colour(name) == kLightGreen && selected ? 'X'
                     : colour(name) == face() && !selected   ? '-'
                                                             : '?';
        }
        return shown;
    }
    // A row of buttons: name_0, name_1, ...
    QStringList row(const QString &name) const
    {
        QStringList names;
        for (int i = 0; window.findChild<QAbstractButton *>(name + '_' + QString::number(i)); ++i)
            names << name + '_' + QString::number(i);
        return names;
    }
};
