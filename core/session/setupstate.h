#pragma once

#include "core/session/linechoices.h"

#include <QObject>
#include <QString>

// Main-window settings that several panels read and write: the list gate, the
// connection settings kept for the configuration file, and the display model.
// One object, passed by reference, so every reader sees the same values.
class SetupState : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // While false, a list selection issues nothing (start-up, panel reset).
    bool listsReady() const { return m_listsReady; }
    void setListsReady(bool ready) { m_listsReady = ready; }

    // The port Online opens, as the user typed or picked it (or the settings
    // file named it).
    QString portName() const { return m_portName; }
    void setPortName(const QString &name) { m_portName = name; }

    // One of LineChoices::kBaudRates.
    int baudRate() const { return m_baudRate; }
    void setBaudRate(int rate) { m_baudRate = rate; }

    // The CTS check box mirrors it.
    FlowControl flowControl() const { return m_flowControl; }
    LineSettings lineSettings() const { return {m_baudRate, m_flowControl}; }
    void setFlowControl(FlowControl flow)
    {
        if (m_flowControl == flow)
            return;
        m_flowControl = flow;
        emit flowControlChanged(flow);
    }

    // Index of the display model (0 to 3).
    int displayModel() const { return m_displayModel; }
    void setDisplayModel(int model)
    {
        if (m_displayModel == model)
            return;
        m_displayModel = model;
        emit displayModelChanged(model);
    }

signals:
    void flowControlChanged(FlowControl flow);
    void displayModelChanged(int model);

private:
    bool m_listsReady = false;
    QString m_portName;
    int m_baudRate = LineChoices::kDefaultBaudRate.rate;
    FlowControl m_flowControl = FlowControl::None;
    int m_displayModel = 1;
};
