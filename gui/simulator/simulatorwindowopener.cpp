#include "gui/simulator/simulatorwindowopener.h"

#include "core/module/shadowmodule.h"
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

// The window shows a module it holds; it goes before the module may.
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
    emit canShowChanged(canShow());
    if (!wentOnline)
        return;
    auto *device = qobject_cast<SimulatorDevice *>(m_connection.line().device());
    if (!device) {
        if (m_window && m_shadow && m_shown == &m_shadow->model())
            m_window->setWindowTitle(shadowTitle());
        return;
    }
    m_module = device->module();
    showModel(m_module->model());
}

void SimulatorWindowOpener::onDisplayModelChanged(int model)
{
    if (m_shadow)
        m_shadow->model().setDisplayModel(model);
    if (m_window)
        m_window->setDisplayModel(model);
}

bool SimulatorWindowOpener::canShow() const
{
    return m_connection.isOnline() || m_window;
}

void SimulatorWindowOpener::showDisplay()
{
    if (!m_connection.isOnline()) {
        if (m_window) {
            m_window->show();
            m_window->raise();
        }
        return;
    }
    if (auto *device = qobject_cast<SimulatorDevice *>(m_connection.line().device())) {
        m_module = device->module();
        showModel(m_module->model());
        return;
    }
    if (!m_shadow) {
        m_shadow = std::make_unique<ShadowModule>();
        m_shadow->model().setDisplayModel(m_state.displayModel());
        m_shadow->follow(m_connection.line());
    }
    showModel(m_shadow->model());
}

void SimulatorWindowOpener::showModel(ModuleModel &model)
{
    if (!m_window || m_shown != &model) {
        delete m_window;
        m_window = new SimulatorWindow(model, m_owner);
        m_shown = &model;
        // The user goes on typing in the main window.
        m_window->setAttribute(Qt::WA_ShowWithoutActivating);
        if (m_shadow && &model == &m_shadow->model())
            m_window->setWindowTitle(shadowTitle());
    }
    // Only a new model resizes the window: a size the user gave it stays.
    if (model.displayModel() != m_state.displayModel())
        m_window->setDisplayModel(m_state.displayModel());
    m_window->show();
    m_window->raise();
}

QString SimulatorWindowOpener::shadowTitle() const
{
    return QStringLiteral("Simulated display (shadow of %1)").arg(m_state.portName());
}
