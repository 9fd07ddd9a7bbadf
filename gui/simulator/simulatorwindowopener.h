#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class Connection;
class ModuleModel;
class SetupState;
class ShadowModule;
class SimulatedModule;
class SimulatorWindow;
class WindowState;
class QWidget;

// Shows the "Simulated display" whenever the connection goes online on the
// simulated module, and keeps that module the display model the user picked.
// Going offline leaves the window as it is, showing the glass as it was left
// (what the module did is what the user came to look at); the user may close
// it at any time, and the next Online on the simulator shows it again, with
// the same module.
//
// On any other port the user may ask for the window as a shadow of the real
// module: from then on, for the rest of the run, a shadow module reads every
// byte that leaves the port and every reply read back (it never holds up a
// write), and the window shows it, offline too, as it does the simulator.
//
// The display either floats above the main window (a tool window of it, so a
// click in the main window does not bury it) or sits docked in the main
// window's free room; the user chooses on the display, and the choice and the
// floating window's place are remembered.
class SimulatorWindowOpener : public QObject
{
    Q_OBJECT
public:
    SimulatorWindowOpener(Connection &connection, SetupState &state, WindowState &windowState,
                          QWidget *dock, QWidget *owner);
    ~SimulatorWindowOpener() override;

    // Shows the window: the simulator's while online on it, otherwise while
    // online the shadow of the port, and offline the one shown last.
    void showDisplay();
    // Whether showDisplay() has anything to show.
    bool canShow() const;
    // The shadow, once the user asked for it; null before.
    ShadowModule *shadow() const { return m_shadow.get(); }

signals:
    void canShowChanged(bool canShow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onConnectionChanged();
    void onDisplayModelChanged(int model);
    void showModel(ModuleModel &model);
    void showWindow();
    void setDocked(bool docked);
    void placeWindow();
    void rememberPlace();

    Connection &m_connection;
    SetupState &m_state;
    WindowState &m_windowState;
    QWidget *m_dock;
    QWidget *m_owner;
    std::shared_ptr<SimulatedModule> m_module;
    std::unique_ptr<ShadowModule> m_shadow;
    QPointer<SimulatorWindow> m_window;
    ModuleModel *m_shown = nullptr; // the model m_window shows
    bool m_online = false;
    bool m_waitingForOwner = false; // online before the main window showed
};
