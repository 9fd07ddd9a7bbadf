#include "commands/setupmodepanels.h"

// Placeholders until the setup modes land.
struct UserSetupPanel::Private
{
};

UserSetupPanel::UserSetupPanel(CommandTransport &, QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{
}

UserSetupPanel::~UserSetupPanel() = default;

bool UserSetupPanel::modeActive() const
{
    return false;
}

struct SerialOutPanel::Private
{
};

SerialOutPanel::SerialOutPanel(CommandTransport &, Connection &, SetupState &, OutputMonitor &,
                               Prompt &, QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{
}

SerialOutPanel::~SerialOutPanel() = default;

bool SerialOutPanel::modeActive() const
{
    return false;
}
