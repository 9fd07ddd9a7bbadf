#include "core/commands/serialoutswitch.h"

#include "core/commands/setupmodecatalogue.h"
#include "core/serial/porttable.h"
#include "core/session/connection.h"
#include "core/session/setupstate.h"
#include "core/transport/commandtransport.h"
#include "core/transport/prompt.h"

SerialOutSwitch::SerialOutSwitch(CommandTransport &transport, Connection &connection,
                                 SetupState &state, Prompt &prompt)
    : m_transport(transport)
    , m_connection(connection)
    , m_state(state)
    , m_prompt(prompt)
{
}

bool SerialOutSwitch::confirmStart()
{
    const SetupModeCatalogue::Question q = SetupModeCatalogue::serialOutStartQuestion();
    return m_prompt.askYesNo(q.text, q.title);
}

void SerialOutSwitch::start()
{
    if (m_state.flowControl() == FlowControl::CtsHandshake) {
        if (m_connection.comport_online() &&
            m_connection.ports().Deselect_CTS_handshake(Connection::kPort) > 0)
            m_connection.reportPortError();
        m_state.setFlowControl(FlowControl::None);
    }
    m_connection.setSerialOutRunning(true);
    m_transport.issue(
        SetupModeCatalogue::modeSwitch(SetupModeCatalogue::ModeSwitch::SerialOutStart).command);
}

void SerialOutSwitch::end()
{
    m_transport.issue(
        SetupModeCatalogue::modeSwitch(SetupModeCatalogue::ModeSwitch::SerialOutEnd).command);
    m_connection.setSerialOutRunning(false);
}
