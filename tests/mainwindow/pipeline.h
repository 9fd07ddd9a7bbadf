#pragma once

#include "mainwindow/setupstate.h"
#include "support/fakesession.h"

// The whole command road over a scripted serial line, as the program builds it.
struct Pipeline : FakeSession
{
    SetupState state;

    Pipeline() { module.setTimeouts(50, 50); }
};
