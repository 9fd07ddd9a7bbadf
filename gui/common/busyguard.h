#pragma once

#include <QPointer>
#include <QWidget>

// Takes a widget out of input while a command is on its way, so that a click
// arriving meanwhile (sending lets the window run) cannot start another: a
// button that could be pressed twice in a row, or the whole window. When the
// guard ends, the widget gets back its own enabled setting, and keyboard focus
// that the disabling pushed out of it comes back, unless the user has put it
// somewhere else meanwhile.
class BusyGuard
{
public:
    explicit BusyGuard(QWidget *widget);
    ~BusyGuard();
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_focus;           // had the focus inside the widget, or null
    const QWidget *m_pushedTo = nullptr; // where the disabling moved it; compared only
    bool m_wasEnabled;
};
