#pragma once

#include "core/serial/serialports.h"

#include <QGroupBox>

class Connection;
class OutputMonitor;
class PortComboBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class SetupState;
struct StartupPlan;

// IfFrame: port, baud rate, CTS, Online/Offline with the state lamp, and the
// three boxes that name and show the last command. Every enabled state comes
// from Connection; the boxes only mirror the output monitor.
class ConnectionBar : public QGroupBox
{
    Q_OBJECT
public:
    ConnectionBar(Connection &connection, SetupState &state, OutputMonitor &monitor,
                  PortLister lister, QWidget *parent = nullptr);

    // Puts the saved port and baud rate into the boxes (start-up).
    void applyStartup(const StartupPlan &plan);

    void goOnline();

private:
    void showConnectionState();
    void chooseBaudRate(int index);
    void chooseFlowControl(bool checked);

    Connection &m_connection;
    SetupState &m_state;
    PortComboBox *m_portBox = nullptr;
    QComboBox *m_baudBox = nullptr;
    QCheckBox *m_ctsBox = nullptr;
    QPushButton *m_onlineButton = nullptr;
    QPushButton *m_offlineButton = nullptr;
    QStackedWidget *m_indicator = nullptr;
};
