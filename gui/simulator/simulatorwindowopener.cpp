#include "gui/simulator/simulatorwindowopener.h"

#include "core/module/simulatordevice.h"
#include "core/serial/serialline.h"
#include "core/session/setupstate.h"
#include "core/transport/connection.h"
#include "gui/simulator/simulatorwindow.h"

SimulatorWindowOpener::SimulatorWindowOpener(Connection &connection, SetupState &state,
                                             QWidget *owner)
    : QObject(owner)
    , m_connection(connection)
    , m_state(state)
    , m_owner(owner)
{
    connect(&m_connection, &Connection::stateChanged, this,
            &SimulatorWindowOpener::onConnectionChanged);
    connect(&m_state, &SetupState::displayModelChanged, this,
            &SimulatorWindowOpener::onDisplayModelChanged);
}

// The window shows the module it holds; it goes before the module may.
SimulatorWindowOpener::~SimulatorWindowOpener()
{
    delete m_window;
}

void SimulatorWindowOpener::onConnectionChanged()
{
    // Only going online opens: the state also changes while online (Serial OUT
    // mode), and a window the user closed meanwhile stays closed.
    const bool wentOnline = m_connection.isOnline() && !m_online;
    m_online = m_connection.isOnline();
    if (!wentOnline)
        return;
    auto *device = qobject_cast<SimulatorDevice *>(m_connection.line().device());
    if (!device)
        return;
    if (device->module() != m_module || !m_window) {
        delete m_window;
        m_module = device->module();
        m_window = new SimulatorWindow(m_module->model(), m_owner);
        // The user goes on typing in the main window.
        m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    // Only a new model resizes the window: a size the user gave it stays.
    if (m_module->model().displayModel() != m_state.displayModel())
        m_window->setDisplayModel(m_state.displayModel());
    m_window->show();
    m_window->raise();
}

void SimulatorWindowOpener::onDisplayModelChanged(int model)
{
    if (m_window)
        m_window->setDisplayModel(model);
}
