#include "gui/mainwindow/connectionbar.h"

#include "core/session/sessionconfig.h"
#include "core/session/setupstate.h"
#include "core/transport/connection.h"
#include "core/transport/outputmonitor.h"
#include "gui/common/monitorview.h"
#include "gui/mainwindow/indicatorlamp.h"
#include "gui/mainwindow/portcombobox.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// One of the two one-line name boxes: a new text shows from its start,
// where a long help text begins to matter.
MonitorView *monitorLine(const MonitorText &text, const QString &name, const QString &tip,
                         QWidget *parent)
{
    auto *box = new MonitorView(text, MonitorView::Rows::OneLine, 1, parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    return box;
}

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

ConnectionBar::ConnectionBar(Connection &connection, SetupState &state, OutputMonitor &monitor,
                             PortLister lister, QWidget *parent)
    : QGroupBox(QStringLiteral("Interface setting && output code description"), parent)
    , m_connection(connection)
    , m_state(state)
{
    setObjectName(QStringLiteral("IfFrame"));
    setToolTip(QStringLiteral(
        "Communication settings between PC and VFD module.  Change settings Offline."));

    m_portBox = new PortComboBox(std::move(lister), this);
    m_portBox->setObjectName(QStringLiteral("ComSel"));
    m_baudBox = new QComboBox(this);
    m_baudBox->setObjectName(QStringLiteral("BPS"));
    for (const int rate : LineChoices::baudRates())
        m_baudBox->addItem(QString::number(rate), rate);
    m_ctsBox = new QCheckBox(QStringLiteral("CTS flow control"), this);
    m_ctsBox->setObjectName(QStringLiteral("Check1"));
    m_onlineButton = new QPushButton(QStringLiteral("Online"), this);
    m_onlineButton->setObjectName(QStringLiteral("OnlineButton"));
    m_offlineButton = new QPushButton(QStringLiteral("Offline"), this);
    m_offlineButton->setObjectName(QStringLiteral("OfflineButton"));

    m_indicator = new QStackedWidget(this);
    m_indicator->setObjectName(QStringLiteral("OnOffLineInd"));
    for (int i = 0; i < 2; ++i) {
        auto *lamp = new IndicatorLamp(i == 1, m_indicator);
        lamp->setObjectName(QStringLiteral("OnOffLineInd_%1").arg(i));
        m_indicator->addWidget(lamp);
    }
    m_indicator->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *commandBox = monitorLine(monitor.commandNameText(), QStringLiteral("sendCommandBox"),
                                   QStringLiteral("Name of command that was issued"), this);
    auto *helpBox =
        monitorLine(monitor.helpText(), QStringLiteral("sendHelpBox"),
                    QStringLiteral("Explanation of parameters for the issued command"), this);
    // Rows break between "[hh]" groups.
    auto *codesBox = new MonitorView(monitor.codesText(), MonitorView::Rows::Wrapped, 4, this);
    codesBox->setObjectName(QStringLiteral("SendTextBox"));
    codesBox->setToolTip(QStringLiteral("Actual code transmitted for the issued command"));
    codesBox->setFixedHeight(codesBox->minimumSizeHint().height() +
                             2 * QFontMetrics(codesBox->font()).lineSpacing());
    auto *sendLabel = buddyLabel(QStringLiteral("output code"), codesBox, this);
    sendLabel->setObjectName(QStringLiteral("SendLabel"));

    // Short rows, so the group fits a narrow column beside the command tabs.
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(buddyLabel(QStringLiteral("COM port"), m_portBox, this));
    portRow->addWidget(m_portBox, 3);
    portRow->addSpacing(6);
    portRow->addWidget(buddyLabel(QStringLiteral("Baud Rate"), m_baudBox, this));
    portRow->addWidget(m_baudBox, 2);
    auto *ctsRow = new QHBoxLayout;
    ctsRow->addWidget(m_ctsBox);
    ctsRow->addStretch(1);
    ctsRow->addWidget(m_indicator);
    auto *onlineRow = new QHBoxLayout;
    onlineRow->addWidget(m_onlineButton, 1);
    onlineRow->addWidget(m_offlineButton, 1);

    auto *column = new QVBoxLayout(this);
    column->addLayout(portRow);
    column->addLayout(ctsRow);
    column->addLayout(onlineRow);
    column->addWidget(commandBox);
    column->addWidget(helpBox);
    column->addWidget(sendLabel);
    column->addWidget(codesBox);

    connect(&monitor, &OutputMonitor::commandNameChanged, commandBox, &MonitorView::reload);
    connect(&monitor, &OutputMonitor::helpChanged, helpBox, &MonitorView::reload);
    connect(&monitor, &OutputMonitor::codesChanged, codesBox, &MonitorView::reload);

    connect(m_onlineButton, &QPushButton::clicked, this, &ConnectionBar::goOnline);
    connect(m_offlineButton, &QPushButton::clicked, &m_connection, &Connection::goOffline);
    // What the boxes show is what Online opens, whoever changed them.
    connect(m_portBox, &QComboBox::currentTextChanged, &m_state, &SetupState::setPortName);
    connect(m_baudBox, &QComboBox::currentIndexChanged, this, &ConnectionBar::chooseBaudRate);
    connect(m_ctsBox, &QCheckBox::toggled, this, &ConnectionBar::chooseFlowControl);
    connect(&m_state, &SetupState::flowControlChanged, m_ctsBox,
            [this](FlowControl flow) { m_ctsBox->setChecked(flow == FlowControl::CtsHandshake); });
    connect(&m_connection, &Connection::stateChanged, this, &ConnectionBar::showConnectionState);
    m_ctsBox->setChecked(m_state.flowControl() == FlowControl::CtsHandshake);
    showConnectionState();
}

void ConnectionBar::applyStartup(const StartupPlan &plan)
{
    if (plan.portIndex >= 0 && plan.portIndex < m_portBox->count()) {
        m_portBox->setCurrentIndex(plan.portIndex);
    } else {
        m_portBox->setCurrentIndex(-1);
        m_portBox->setEditText(plan.portName);
    }
    m_baudBox->setCurrentIndex(m_baudBox->findData(plan.baudRate));
    m_ctsBox->setChecked(m_state.flowControl() == FlowControl::CtsHandshake);
}

void ConnectionBar::goOnline()
{
    // Locked before the port is touched: opening lets the window run events.
    m_onlineButton->setEnabled(false);
    m_portBox->setEnabled(false);
    m_baudBox->setEnabled(false);
    m_ctsBox->setEnabled(false);
    if (m_connection.isOnline())
        return;
    static_cast<void>(m_connection.goOnline(m_state.portName(), m_state.lineSettings()));
}

void ConnectionBar::showConnectionState()
{
    const bool online = m_connection.isOnline();
    m_indicator->setCurrentIndex(online ? 1 : 0);
    m_onlineButton->setEnabled(m_connection.settingsEditable());
    m_portBox->setEnabled(m_connection.settingsEditable());
    m_baudBox->setEnabled(m_connection.settingsEditable());
    m_ctsBox->setEnabled(m_connection.ctsEditable());
}

void ConnectionBar::chooseBaudRate(int index)
{
    if (index >= 0)
        m_state.setBaudRate(m_baudBox->itemData(index).toInt());
}

void ConnectionBar::chooseFlowControl(bool checked)
{
    m_state.setFlowControl(checked ? FlowControl::CtsHandshake : FlowControl::None);
}
