#include "core/session/serialoutswitch.h"

#include "core/commands/setupmodecatalogue.h"
#include "core/session/setupstate.h"
#include "core/transport/commandtransport.h"
#include "core/transport/connection.h"
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
    // The box shows the change at once; the port's handshake changes in the
    // start command's own turn (Command::flowControlOff).
    m_state.setFlowControl(FlowControl::None);
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
