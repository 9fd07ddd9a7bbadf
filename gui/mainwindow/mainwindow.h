#pragma once

#include "core/serial/serialports.h"

#include <QMainWindow>

#include <memory>

class ConnectionBar;
class CursorPickerModel;
class DirectCommandPanel;
class EditWindow;
class ModeTabStrip;
class MonitorView;
class Prompt;
class QBoxLayout;
class QComboBox;
class QGroupBox;
class QPushButton;
class RecorderButtons;
class SessionConfig;
class SetupState;
class WindowState;
struct CommandSession;

// Everything the main window works with; the program builds it once, tests
// build it over a fake port and a scripted prompt.
struct MainWindowParts
{
    CommandSession &session;
    SetupState &state;
    Prompt &prompt;
    PortLister portLister;   // the machine's serial ports for ComSel
    QString configDirectory; // where "Config_QV_demo.dat" lives
    // Where the windows' places are remembered; empty: nowhere (tests).
    QString windowStateFile = {};
};

// The main window. Creating it runs the start-up (lists, saved settings,
// model, online again if it was); closing it writes the settings, closes the
// port and emits closed(), on which the program ends.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowParts &parts, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the window where the user left it, if that is still wholly on a
    // screen; otherwise as large as its panels want, or maximized when the
    // screen is smaller than that (1366x768 laptops).
    void showFitted();

    bool isOnline() const;
    void goOffline();
    // The open edit window, or null.
    EditWindow *editWindow() const;

    // The close a termination signal asks for: as the close box, but nobody
    // may be at the screen to answer a box, so a failed save is told on
    // stderr instead, and nothing waits for an answer.
    void closeForSignal();

    const MainWindowParts &parts() const { return m_parts; }
    DirectCommandPanel *directCommandPanel() const { return m_commandPanel; }
    CursorPickerModel &picker() const { return *m_picker; }
    ModeTabStrip *tabStrip() const { return m_tabs; }
    // Where the recorder's five buttons and the monitor's two buttons go.
    QGroupBox *recFrame() const { return m_recFrame; }
    QBoxLayout *recButtonRow() const { return m_recButtons; }
    QGroupBox *outputMonitorFrame() const { return m_monitorFrame; }
    QBoxLayout *monitorButtonRow() const { return m_monitorButtons; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildModelRow();
    QWidget *buildTabs();
    QWidget *buildRecorderAndMonitor();
    QSize naturalSize() const;
    void runStartup();
    void chooseDisplayModel(int model);
    void shutDown();

    MainWindowParts m_parts;
    std::unique_ptr<SessionConfig> m_config;
    std::unique_ptr<WindowState> m_windowState;
    CursorPickerModel *m_picker = nullptr;
    QComboBox *m_displayList = nullptr;
    QPushButton *m_displayButton = nullptr; // the Simulated display, or the port's shadow
    ConnectionBar *m_connectionBar = nullptr;
    ModeTabStrip *m_tabs = nullptr;
    DirectCommandPanel *m_commandPanel = nullptr;
    QWidget *m_panelContent = nullptr; // panel 0 without its scroll bars
    QWidget *m_displayDock = nullptr;  // where the simulated display docks
    QGroupBox *m_recFrame = nullptr;
    QBoxLayout *m_recButtons = nullptr;
    QGroupBox *m_monitorFrame = nullptr;
    QBoxLayout *m_monitorButtons = nullptr;
    MonitorView *m_history = nullptr;
    RecorderButtons *m_recorder = nullptr;
    bool m_shutDown = false;
    bool m_closingForSignal = false;
};
