#pragma once

#include <QString>
#include <QToolButton>

class Prompt;
class QWidget;

// What the About box says: what Zepta is, its version (the program's, as it
// named itself to Qt) and the version of Qt it runs on.
QString aboutZeptaText();

// The small "About" button that shows the box; it takes no room a panel needs.
QToolButton *makeAboutButton(Prompt &prompt, QWidget *parent);
