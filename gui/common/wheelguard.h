#pragma once

#include <QObject>

// A wheel notch changes a list, a slider, a spin box or the tab bar only once
// the user has given it focus: turning the wheel to scroll past a panel must
// not pick entries (and send their commands) on the way. Installed once on the
// application, it covers every window, also those opened later; the notch a
// control declines goes on to what lies under it (the panel's scroll area).
class WheelGuard : public QObject
{
    Q_OBJECT
public:
    // Watches every widget of the application from now on, as long as it lives.
    explicit WheelGuard(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
