#pragma once

#include <QByteArray>
#include <QRect>

class QWidget;
class WindowState;

// Where Zepta's windows open: every one wholly on a screen, in reach of the
// user. The one home for placing the main window, the edit window and the
// simulated display.
namespace WindowPlacement {

// Whether frame lies wholly within the free area of one of today's screens.
bool onOneScreen(const QRect &frame);

// Gives window the geometry saveGeometry() once gave it, if that lands
// wholly on one of today's screens (a monitor may have gone since); returns
// false, and leaves the window alone, otherwise.
bool restore(QWidget *window, const QByteArray &geometry);

// restore() from what state kept for the window (by its objectName).
bool restoreRemembered(QWidget *window, const WindowState &state);
// Keeps the window's geometry in state; a failure is told on stderr.
void remember(const QWidget *window, WindowState &state);

// The free area of window's screen less the frame the window manager puts
// around a window: what a window's own size may take.
QRect roomFor(const QWidget *window);

// Beside owner where its screen has room (right, then left); otherwise at the
// screen's right edge, over owner: from below's bottom down, or at the
// screen's bottom when below is null.
void placeBeside(QWidget *window, const QWidget *owner, const QWidget *below);

} // namespace WindowPlacement
