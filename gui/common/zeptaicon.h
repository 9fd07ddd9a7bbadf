#pragma once

#include <QIcon>

// Zepta's icon, from the PNG sizes rendered from packaging/icons/zepta.svg.
QIcon zeptaIcon();

// Every window of the program shows Zepta's icon and belongs to its launcher
// ("zepta.desktop"), which is where Wayland desktops take the icon from.
// Needs the QApplication.
void useZeptaIcon();
