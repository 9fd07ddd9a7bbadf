#pragma once

#include <QFont>

// "Courier New" where the system has it, else the system's own fixed-pitch font,
// so that byte columns in the monitor boxes line up everywhere.
QFont fixedPitchFont();
