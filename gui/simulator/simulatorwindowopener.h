#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class Connection;
class SetupState;
class SimulatedModule;
class SimulatorWindow;
class QWidget;

// Shows the "Simulated display" whenever the connection goes online on the
// simulated module, and keeps that module the display model the user picked.
// Going offline leaves the window as it is, showing the glass as it was left
// (what the module did is what the user came to look at); the user may close
// it at any time, and the next Online on the simulator shows it again, with
// the same module.
class SimulatorWindowOpener : public QObject
{
    Q_OBJECT
public:
    // The window becomes a window of its own on top of `owner` (the main window).
    SimulatorWindowOpener(Connection &connection, SetupState &state, QWidget *owner);
    ~SimulatorWindowOpener() override;

private:
    void onConnectionChanged();
    void onDisplayModelChanged(int model);

    Connection &m_connection;
    SetupState &m_state;
    QWidget *m_owner;
    std::shared_ptr<SimulatedModule> m_module;
    QPointer<SimulatorWindow> m_window;
    bool m_online = false;
};
