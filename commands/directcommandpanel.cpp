#include "commands/directcommandpanel.h"

// Placeholder until the command catalogue lands.
struct DirectCommandPanel::Private
{
    std::function<void()> resetPicker;
};

DirectCommandPanel::DirectCommandPanel(CommandTransport &, SetupState &, Prompt &, QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{
}

DirectCommandPanel::~DirectCommandPanel() = default;

void DirectCommandPanel::setResetPickerHandler(std::function<void()> handler)
{
    d->resetPicker = std::move(handler);
}

void DirectCommandPanel::applyDisplayModel(int) {}
