#pragma once

#include <QWidget>

#include <memory>

class CommandTransport;
class Connection;
class DataTransmitter;
class OutputMonitor;
class Prompt;
class SetupState;

// "User Setup Mode" tab: Start/End and the three display-status buttons.
class UserSetupPanel : public QWidget
{
    Q_OBJECT
public:
    UserSetupPanel(CommandTransport &transport, QWidget *parent = nullptr);
    ~UserSetupPanel() override;
    // Known only from whether InfoDisp_0 is enabled.
    bool modeActive() const;

private:
    struct Private;
    std::unique_ptr<Private> d;

    void start();
    void end();
};

// "Serial OUT Mode" tab: Start/End of the mode and the status requests with
// the "Response" label.
class SerialOutPanel : public QWidget
{
    Q_OBJECT
public:
    SerialOutPanel(CommandTransport &transport, Connection &connection, SetupState &state,
                   OutputMonitor &monitor, Prompt &prompt, QWidget *parent = nullptr);
    ~SerialOutPanel() override;
    // Known only from whether InfoTrs_0 is enabled.
    bool modeActive() const;

private:
    struct Private;
    std::unique_ptr<Private> d;

    void start();
    void end();
    void requestStatus(int element);
    void showRunning(bool running);
    QWidget *buildStatusGroup();
};
