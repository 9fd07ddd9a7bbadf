#pragma once

#include "core/session/commandsession.h"
#include "support/fakeserialdevice.h"
#include "support/scriptedprompt.h"

#include <memory>

// The scripted line and prompt a test session runs on; a base of its own so
// that both exist before the session is built over them.
struct ScriptedEnds
{
    std::shared_ptr<FakeSerialDevice::Line> line = std::make_shared<FakeSerialDevice::Line>();
    ScriptedPrompt prompt;
};

// A whole command session over a scripted line, with Windows-1252 text and
// short time-outs so that a missing reply costs milliseconds, not seconds.
struct FakeSession : ScriptedEnds, CommandSession
{
    FakeSession()
        : CommandSession(FakeSerialDevice::factory(line), prompt,
                         CodePage(CodePage::Kind::Windows1252))
    {
        serialLine.setTimeouts(30, 2);
    }

    bool goOnline(int baud = 38400, FlowControl flow = FlowControl::None)
    {
        return connection.goOnline(QStringLiteral("ttyFAKE0"), {baud, flow}).ok();
    }
};
