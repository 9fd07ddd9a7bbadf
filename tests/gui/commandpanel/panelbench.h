#pragma once

#include "core/commands/commandcatalogue.h"
#include "core/session/setupstate.h"
#include "gui/commandpanel/directcommandpanel.h"
#include "gui/common/windowhold.h"
#include "support/fakesession.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPalette>
#include <QTest>

inline const QColor kLightGreen(0x80, 0xFF, 0x80);
inline const QColor kDotOn(0x00, 0x00, 0xC0);

// The command panel on an online connection over a scripted line, as the main
// window holds it after start-up (lists ready).
struct PanelBench : FakeSession
{
    SetupState state;
    DirectCommandPanel panel{transport, state, prompt};
    int pickerResets = 0;
    // Whether the window took input while each command was on its way.
    QList<bool> windowEnabledWhileSending;

    PanelBench()
    {
        goOnline();
        new WindowHold(transport, &panel); // as the main window holds itself
        panel.setResetPickerHandler([this] { ++pickerResets; });
        QObject::connect(&transport, &CommandTransport::commandIssued, &panel,
                         [this] { windowEnabledWhileSending << panel.window()->isEnabled(); });
        state.setListsReady(true);
    }

    template<typename T = QAbstractButton> T *find(const QString &name) const
    {
        T *widget = panel.findChild<T *>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }
    QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }
    void click(const QString &name) const { find(name)->click(); }
    // A user's pick from the drop-down: the selection moves, then the list reports it.
    void choose(const QString &name, int index) const
    {
        QComboBox *list = combo(name);
        list->setCurrentIndex(index);
        emit list->activated(index);
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
        const QString written = QString::fromLatin1(line->written.toHex(' ').toUpper());
        line->written.clear();
        line->writes.clear();
        return written;
    }

    QColor colour(const QString &name) const
    {
        return find(name)->palette().color(QPalette::Button);
    }
    QColor face() const { return panel.palette().color(QPalette::Button); }
    // A row of buttons row_0, row_1, ... as painted: 'X' in the colour `on` and
    // marked "selected", '-' in the plain face, '?' for anything in between.
    QString painted(const QString &row, const QColor &on = kLightGreen) const
    {
        QString shown;
        for (int i = 0;
             auto *b = panel.findChild<QAbstractButton *>(row + '_' + QString::number(i)); ++i) {
            const QColor c = b->palette().color(QPalette::Button);
            const bool selected = b->property("selected").toBool();
            shown += c == on && selected ? 'X' : c == face() && !selected ? '-' : '?';
        }
        return shown;
    }
};
