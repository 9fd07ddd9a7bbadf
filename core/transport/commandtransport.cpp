#include "core/transport/commandtransport.h"

#include "core/base/codepage.h"
#include "core/transport/commandtext.h"
#include "core/transport/datatransmitter.h"
#include "core/transport/outputmonitor.h"
#include "core/transport/prompt.h"
#include "core/transport/writequeue.h"

#include <QLocale>
#include <QScopeGuard>

CommandTransport::CommandTransport(WriteQueue &queue, DataTransmitter &transmitter,
                                   OutputMonitor &monitor, Prompt &prompt, const CodePage &codePage,
                                   QObject *parent)
    : QObject(parent)
    , m_queue(queue)
    , m_transmitter(transmitter)
    , m_monitor(monitor)
    , m_prompt(prompt)
    , m_codePage(codePage)
{
}

void CommandTransport::issue(const Command &command)
{
    // A command still waiting when the connection goes offline (or the window
    // closes) is dropped: not sent, not shown, not recorded.
    m_queue.submit([this, command] { run(command); });
}

bool CommandTransport::busy() const
{
    return m_queue.busy();
}

qsizetype CommandTransport::queued() const
{
    return m_queue.queued();
}

void CommandTransport::run(const Command &command)
{
    if (command.holdsWindow)
        emit windowHoldChanged(true);
    const auto released = qScopeGuard([this, &command] {
        if (command.holdsWindow)
            emit windowHoldChanged(false);
    });
    if (command.replyKind)
        m_transmitter.setReplyKind(*command.replyKind);
    if (command.expectReply)
        m_transmitter.setExpectReply(true);
    if (command.flowControlOff)
        m_transmitter.switchFlowControlOff();

    const Result<void> sent =
        command.notation == Command::Notation::Escape
            ? transmit(command.text)
            : send(CommandText::fromTextEntry(m_codePage.fromUnicode(command.text)));
    if (!sent) {
        // Refused: nothing went out, so nothing is named or recorded.
        m_prompt.message(sent.error().text);
        return;
    }
    logCommand(command.title, command.help);
    emit commandIssued(command.title);
}

Result<void> CommandTransport::transmit(const QString &data)
{
    return send(CommandText::fromEscapes(m_codePage.fromUnicode(data)));
}

Result<void> CommandTransport::send(const Codes &codes)
{
    if (codes.size() > kMaxCodes) {
        m_lastCodes.clear();
        const QLocale c(QLocale::English, QLocale::UnitedStates);
        return Error{Error::Kind::Refused, 0,
                     QStringLiteral("This command is too long to send: it converts to %1 "
                                    "codes, and at most %2 fit in one command.")
                         .arg(c.toString(codes.size()), c.toString(kMaxCodes))};
    }
    m_lastCodes = codes;
    if (!codes.isEmpty())
        m_transmitter.transmit(codes);
    return {};
}

void CommandTransport::logCommand(const QString &title, const QString &help)
{
    m_monitor.setCommandName(title);
    m_monitor.setHelp(help);
    emit commandSent(title, help, m_lastCodes);
}
