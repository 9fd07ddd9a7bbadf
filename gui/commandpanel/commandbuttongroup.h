#pragma once

#include "core/commands/commandcatalogue.h"

#include <QList>
#include <QObject>

class CommandTransport;
class QPushButton;
class QWidget;

// The buttons of one catalogue row and the one handler they share. Groups that
// show a choice keep it here and paint it: the chosen element light green, the
// others button face.
class CommandButtonGroup : public QObject
{
    Q_OBJECT
public:
    CommandButtonGroup(const CommandCatalogue::ButtonGroup &group, CommandTransport &transport,
                       QWidget *owner);

    const CommandCatalogue::ButtonGroup &group() const { return m_group; }
    QPushButton *button(int i) const { return m_buttons.at(i); }
    qsizetype size() const { return m_buttons.size(); }

    // -1 when the group shows no choice.
    void setChoice(int i);
    void resetChoice() { setChoice(m_group.startChoice); }

private:
    void click(int i);

    CommandCatalogue::ButtonGroup m_group;
    CommandTransport &m_transport;
    QList<QPushButton *> m_buttons;
    int m_choice = -1;
};
