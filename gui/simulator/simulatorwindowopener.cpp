#include "gui/simulator/simulatorwindowopener.h"

#include "core/module/shadowmodule.h"
#include "core/module/simulatordevice.h"
#include "core/serial/serialline.h"
#include "core/session/setupstate.h"
#include "core/session/windowstate.h"
#include "core/transport/connection.h"
#include "gui/common/windowplacement.h"
#include "gui/simulator/simulatorwindow.h"

#include <QDebug>
#include <QEvent>
#include <QLayout>
#include <QTimer>

SimulatorWindowOpener::SimulatorWindowOpener(Connection &connection, SetupState &state,
                                             WindowState &windowState, QWidget *dock,
                                             QWidget *owner)
    : QObject(owner)
    , m_connection(connection)
    , m_state(state)
    , m_windowState(windowState)
    , m_dock(dock)
    , m_owner(owner)
{
    connect(&m_connection, &Connection::stateChanged, this,
            &SimulatorWindowOpener::onConnectionChanged);
    connect(&m_state, &SetupState::displayModelChanged, this,
            &SimulatorWindowOpener::onDisplayModelChanged);
    m_owner->installEventFilter(this);
}

// The window shows a module it holds; it goes before the module may.
SimulatorWindowOpener::~SimulatorWindowOpener()
{
    delete m_window;
}

bool SimulatorWindowOpener::eventFilter(QObject *watched, QEvent *event)
{
    // The program ends with the main window; the display goes with it.
    if (watched == m_owner && event->type() == QEvent::Close)
        rememberPlace();
    // Shown before the main window, the display would open behind it. Once
    // the main window has its place, the display goes beside or above it.
    if (watched == m_owner && event->type() == QEvent::Show && m_waitingForOwner) {
        m_waitingForOwner = false;
        QTimer::singleShot(0, this, &SimulatorWindowOpener::showWindow);
    }
    return false;
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
            m_window->showAsShadowOf(m_state.portName());
        return;
    }
    m_module = device->module();
    showModel(m_module->model());
}

bool SimulatorWindowOpener::canShow() const
{
    return m_connection.isOnline() || m_window;
}

void SimulatorWindowOpener::showDisplay()
{
    if (!m_connection.isOnline()) {
        showWindow();
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
        m_window = new SimulatorWindow(model);
        m_shown = &model;
        // The user goes on typing in the main window.
        m_window->setAttribute(Qt::WA_ShowWithoutActivating);
        if (m_shadow && &model == &m_shadow->model())
            m_window->showAsShadowOf(m_state.portName());
        connect(m_window, &SimulatorWindow::dockRequested, this, &SimulatorWindowOpener::setDocked);
        connect(m_window, &SimulatorWindow::closed, this, &SimulatorWindowOpener::rememberPlace);
        placeWindow();
    }
    // Only a new model resizes the window: a size the user gave it stays.
    if (model.displayModel() != m_state.displayModel())
        m_window->setDisplayModel(m_state.displayModel());
    if (m_owner->isVisible())
        showWindow();
    else
        m_waitingForOwner = true;
}

void SimulatorWindowOpener::showWindow()
{
    if (!m_window)
        return;
    // Where it floats: where the user left it, if that is still on a screen,
    // else beside the main window, else over it.
    if (m_window->isWindow() && !m_window->isVisible() &&
        !WindowPlacement::restoreRemembered(m_window, m_windowState))
        WindowPlacement::placeBeside(m_window, m_owner, nullptr);
    m_window->show();
    m_window->raise();
}

void SimulatorWindowOpener::setDocked(bool docked)
{
    rememberPlace();
    if (const Result<void> saved = m_windowState.setDisplayDocked(docked); !saved)
        qWarning().noquote() << saved.error().text;
    placeWindow();
    showWindow();
}

// Into the dock, or out of it as a tool window of the main window: above it,
// not above every other program.
void SimulatorWindowOpener::placeWindow()
{
    const bool docked = m_windowState.displayDocked();
    m_window->setDocked(docked);
    if (docked) {
        m_window->setParent(m_dock, Qt::Widget);
        m_dock->layout()->addWidget(m_window);
        m_dock->show();
        return;
    }
    m_dock->layout()->removeWidget(m_window);
    m_dock->hide();
    m_window->setParent(m_owner, Qt::Tool);
    m_window->adjustSize();
}

void SimulatorWindowOpener::rememberPlace()
{
    if (m_window && m_window->isWindow() && m_window->isVisible())
        WindowPlacement::remember(m_window, m_windowState);
}

void SimulatorWindowOpener::onDisplayModelChanged(int model)
{
    if (m_shadow)
        m_shadow->model().setDisplayModel(model);
    if (m_window)
        m_window->setDisplayModel(model);
}
