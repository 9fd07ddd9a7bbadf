#pragma once

#include "core/serial/serialports.h"

#include <QComboBox>

// ComSel: "COM1" to "COM16", then the ports this machine really has, with
// their descriptions as tooltips, and last "Simulator", the simulated module.
// Editable: a typed name stays as typed and is never added to the list.
class PortComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit PortComboBox(PortLister lister, QWidget *parent = nullptr);

    // Rebuilds the machine's part of the list; the text in the box is kept.
    void refreshPorts();
    void showPopup() override;

private:
    PortLister m_lister;
};
