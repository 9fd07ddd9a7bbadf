#include "gui/commandpanel/commandbuttongroup.h"

#include "core/transport/commandtransport.h"
#include "gui/common/buttonpaint.h"

#include <QPushButton>

CommandButtonGroup::CommandButtonGroup(const CommandCatalogue::ButtonGroup &group,
                                       CommandTransport &transport, QWidget *owner)
    : QObject(owner)
    , m_group(group)
    , m_transport(transport)
{
    for (int i = 0; i < m_group.actions.size(); ++i) {
        auto *button = new QPushButton(m_group.actions.at(i).caption, owner);
        button->setObjectName(m_group.name + QLatin1Char('_') + QString::number(i));
        connect(button, &QPushButton::clicked, this, [this, i] { click(i); });
        m_buttons << button;
    }
    resetChoice();
}

void CommandButtonGroup::setChoice(int i)
{
    if (m_group.startChoice < 0)
        return; // plain command buttons keep the button face
    m_choice = i;
    for (int j = 0; j < m_buttons.size(); ++j)
        ButtonPaint::paintChosen(m_buttons.at(j), j == i);
}

void CommandButtonGroup::click(int i)
{
    // The colour follows the click whether or not the command reaches the module.
    setChoice(i);
    m_transport.issue(m_group.command(i));
}
