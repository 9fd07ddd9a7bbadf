#pragma once

#include "core/base/result.h"

#include <QString>

// The user's own configuration folder for every Zepta program
// ($XDG_CONFIG_HOME/zepta, else ~/.config/zepta). One folder for zepta and
// zepta-sim alike, so it is not derived from the application's name.
namespace UserConfigFolder {

QString path();

// The folder, made on first use; the error says why it could not be made.
Result<QString> ensure();

} // namespace UserConfigFolder
