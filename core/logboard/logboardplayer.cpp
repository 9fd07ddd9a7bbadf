#include "core/logboard/logboardplayer.h"

#include "core/logboard/crlflines.h"
#include "core/logboard/playerflags.h"
#include "core/logboard/prtline.h"
#include "core/transport/connection.h"
#include "core/transport/eventwait.h"
#include "core/transport/portwriter.h"
#include "core/transport/prompt.h"
#include "core/transport/writequeue.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QScopedValueRollback>

LogBoardPlayer::LogBoardPlayer(PlayerFlags &flags, Connection &connection, WriteQueue &queue,
                               PortWriter &writer, Prompt &prompt, QObject *parent)
    : QObject(parent)
    , m_flags(flags)
    , m_connection(connection)
    , m_queue(queue)
    , m_writer(writer)
    , m_prompt(prompt)
{
}

LogBoardPlayer::~LogBoardPlayer()
{
    if (m_state == State::Waiting)
        m_queue.cancel(m_ticket);
}

LogBoardPlayer::Outcome LogBoardPlayer::play(QString text)
{
    return request(std::move(text), Mode::Play);
}

LogBoardPlayer::Outcome LogBoardPlayer::step(QString text)
{
    return request(std::move(text), Mode::Step);
}

LogBoardPlayer::Outcome LogBoardPlayer::request(QString text, Mode mode)
{
    // A second press during a run would start a nested second pass.
    if (!m_connection.isOnline() || running())
        return Outcome::Ignored;
    if (const Result<void> bytes = PrtLine::checkBytes(text, PrtLine::Refused::NothingSent);
        !bytes) {
        m_refusal = bytes.error();
        m_prompt.message(m_refusal->text);
        emit finished(Outcome::Refused);
        return Outcome::Refused;
    }
    // The flag shows from the press, also while the run waits for its turn.
    if (mode == Mode::Play)
        m_flags.setStepping(false);
    setFlag(mode, true);
    m_state = State::Waiting;
    const QPointer<LogBoardPlayer> alive(this);
    m_ticket = m_queue.submit(
        [this, alive, text = std::move(text), mode] {
            m_state = State::Running;
            const Outcome outcome = run(text, mode);
            // The owner may have gone during the run (the window closed),
            // and with it this player: nothing here may be touched then.
            if (alive)
                end(outcome);
        },
        [this] {
            // Dropped before its turn: offline, or the window closing.
            m_flags.setPlaying(false);
            m_flags.setStepping(false);
            end(Outcome::Stopped);
        });
    if (!alive)
        return Outcome::Stopped;
    return m_state == State::Idle ? m_lastOutcome : Outcome::Waiting;
}

void LogBoardPlayer::end(Outcome outcome)
{
    m_state = State::Idle;
    m_lastOutcome = outcome;
    emit finished(outcome);
}

bool LogBoardPlayer::flagOn(Mode mode) const
{
    return mode == Mode::Play ? m_flags.playing() : m_flags.stepping();
}

void LogBoardPlayer::setFlag(Mode mode, bool on)
{
    if (mode == Mode::Play)
        m_flags.setPlaying(on);
    else
        m_flags.setStepping(on);
}

LogBoardPlayer::Outcome LogBoardPlayer::run(const QString &text, Mode mode)
{
    const QPointer<LogBoardPlayer> alive(this);
    // STOP, or for PLAY also REC or EDIT, may have switched the run's flag
    // off while it waited for its turn.
    Outcome outcome = flagOn(mode) ? Outcome::Finished : Outcome::Stopped;
    const qsizetype lineCount = CrLfLines::count(text);
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    qsizetype n = 0;
    qsizetype highlighted = -1;
    QByteArray bytes;
    QElapsedTimer sinceTurn;
    // Every line is handled, the last one too when no line break follows it,
    // so stepping sends exactly what PLAY would.
    while (outcome == Outcome::Finished && lines.next(&line, &offset)) {
        ++n;
        const bool data = PrtLine::readForPlayer(line, &bytes) == PrtLine::PlayerRead::Data;
        if (mode == Mode::Step) {
            if (!data)
                continue;
            // From the line's first character, indentation included.
            highlighted = offset;
            emit highlight(offset, line.size());
            if (!waitForStepKey())
                return Outcome::Stopped;
            if (m_stepKey == StepKey::End)
                outcome = Outcome::Ended;
            else if (!m_flags.stepping())
                outcome = Outcome::Stopped;
            if (outcome != Outcome::Finished)
                break;
        }
        if (data && !send(bytes)) {
            outcome = flagOn(mode) ? Outcome::WriteFailed : Outcome::Stopped;
            break;
        }
        emit progress(n, lineCount);
        if (mode == Mode::Play) {
            // A Log Board plays a hundred thousand lines a second into a fast
            // line: the window gets its turn every few milliseconds, not after
            // each of them, and STOP still ends the run as quickly.
            EventWait::processDue(sinceTurn);
            if (!alive)
                return Outcome::Stopped;
            // The stop test comes before the pause wait, so STOP, which also
            // lifts the pause, lets the next line go out and then ends the run.
            if (!m_flags.playing())
                outcome = Outcome::Stopped;
            while (outcome == Outcome::Finished && m_flags.paused()) {
                EventWait::waitProcessing(kPauseWaitMs);
                if (!alive)
                    return Outcome::Stopped;
            }
        }
    }
    // The caret stays where the last highlight began.
    if (highlighted >= 0)
        emit highlight(highlighted, 0);
    setFlag(mode, false);
    return outcome;
}

bool LogBoardPlayer::waitForStepKey()
{
    const QPointer<LogBoardPlayer> alive(this);
    m_stepKey = StepKey::None;
    // Waiting for the key, the port is free: a command goes out at once.
    const WriteQueue::Release portFree(m_queue);
    while (m_flags.stepping() && m_stepKey == StepKey::None) {
        EventWait::waitProcessing(kPauseWaitMs);
        if (!alive)
            return false;
    }
    return true;
}

void LogBoardPlayer::togglePause()
{
    m_flags.setPaused(!m_flags.paused());
}

void LogBoardPlayer::stop()
{
    m_flags.setPlaying(false);
    m_flags.setStepping(false);
    m_flags.setPaused(false);
    if (m_state == State::Waiting && m_queue.cancel(m_ticket))
        end(Outcome::Stopped);
    else if (m_writing)
        m_writer.abandon(); // a line that takes nothing must not hold STOP up
}

void LogBoardPlayer::pressStepKey(StepKey key)
{
    m_stepKey = key;
}

bool LogBoardPlayer::send(QByteArrayView bytes)
{
    const QScopedValueRollback<bool> writing(m_writing, true);
    for (qsizetype i = 0; i < bytes.size(); i += kBlockSize) {
        // Gone offline while the run let the window work: the run ends
        // quietly, as a command does, with no error for a port the user closed.
        if (!m_connection.isOnline())
            return false;
        const QByteArrayView block = bytes.sliced(i, qMin<qsizetype>(kBlockSize, bytes.size() - i));
        if (!m_writer.write(block.toByteArray()))
            return false;
    }
    return true;
}
