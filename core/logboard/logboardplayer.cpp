#include "core/logboard/logboardplayer.h"

#include "core/logboard/crlflines.h"
#include "core/logboard/playerflags.h"
#include "core/logboard/prtline.h"
#include "core/transport/eventwait.h"

#include <QElapsedTimer>
#include <QPointer>

namespace {

// Keeps running() true for one run, even when the run ends early.
class RunScope
{
public:
    explicit RunScope(bool &running)
        : m_running(running)
    {
        m_running = true;
    }
    ~RunScope() { m_running = false; }

private:
    bool &m_running;
};

} // namespace

LogBoardPlayer::LogBoardPlayer(PlayerFlags &flags, WriteBytes write, AbandonWrite abandon,
                               QObject *parent)
    : QObject(parent)
    , m_flags(flags)
    , m_write(std::move(write))
    , m_abandon(std::move(abandon))
{
}

LogBoardPlayer::Outcome LogBoardPlayer::play(QString text)
{
    if (m_running)
        return Outcome::Ignored;
    if (!bytesAreValid(text))
        return Outcome::Refused;
    RunScope scope(m_running);
    const QPointer<LogBoardPlayer> alive(this);
    m_flags.setStepping(false);
    m_flags.setPlaying(true);

    Outcome outcome = Outcome::Finished;
    const qsizetype lineCount = CrLfLines::count(text);
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    qsizetype n = 0;
    QByteArray bytes;
    QElapsedTimer sinceTurn;
    while (lines.next(&line, &offset)) {
        if (PrtLine::readForPlayer(line, &bytes) == PrtLine::PlayerRead::Data && !send(bytes)) {
            outcome = Outcome::WriteFailed;
            break;
        }
        emit progress(++n, lineCount);
        // A Log Board plays a hundred thousand lines a second into a fast
        // line: the window gets its turn every few milliseconds, not after
        // each of them, and STOP still ends the run as quickly.
        EventWait::processDue(sinceTurn);
        // The owner may have gone during the turn (the window closed), and
        // with it this player: nothing here may be touched then.
        if (!alive)
            return Outcome::Stopped;
        // The stop test comes before the pause wait, so STOP, which also
        // lifts the pause, lets the next line go out and then ends the run.
        if (!m_flags.playing()) {
            outcome = Outcome::Stopped;
            break;
        }
        while (m_flags.paused()) {
            EventWait::waitProcessing(kPauseWaitMs);
            if (!alive)
                return Outcome::Stopped;
        }
    }
    m_flags.setPlaying(false);
    return outcome;
}

LogBoardPlayer::Outcome LogBoardPlayer::step(QString text)
{
    if (m_running)
        return Outcome::Ignored;
    if (!bytesAreValid(text))
        return Outcome::Refused;
    RunScope scope(m_running);
    const QPointer<LogBoardPlayer> alive(this);
    m_flags.setStepping(true);

    Outcome outcome = Outcome::Finished;
    const qsizetype lineCount = CrLfLines::count(text);
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    qsizetype n = 0;
    qsizetype highlighted = -1;
    QByteArray bytes;
    // Every line is stepped, the last one too when no line break follows it,
    // so stepping sends exactly what PLAY would.
    while (lines.next(&line, &offset)) {
        ++n;
        if (PrtLine::readForPlayer(line, &bytes) != PrtLine::PlayerRead::Data)
            continue;
        // From the line's first character, indentation included.
        highlighted = offset;
        emit highlight(offset, line.size());
        m_stepKey = StepKey::None;
        while (m_flags.stepping() && m_stepKey == StepKey::None) {
            EventWait::waitProcessing(kPauseWaitMs);
            if (!alive)
                return Outcome::Stopped;
        }
        if (m_stepKey == StepKey::End) {
            outcome = Outcome::Ended;
            break;
        }
        if (!m_flags.stepping()) {
            outcome = Outcome::Stopped;
            break;
        }
        if (!send(bytes)) {
            outcome = Outcome::WriteFailed;
            break;
        }
        emit progress(n, lineCount);
    }
    // The caret stays where the last highlight began.
    if (highlighted >= 0)
        emit highlight(highlighted, 0);
    m_flags.setStepping(false);
    return outcome;
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
    if (m_running && m_abandon)
        m_abandon();
}

void LogBoardPlayer::pressStepKey(StepKey key)
{
    m_stepKey = key;
}

bool LogBoardPlayer::bytesAreValid(QStringView text)
{
    m_refusal = PrtLine::notAByteRefusal(text, PrtLine::Refused::NothingSent);
    return m_refusal.isEmpty();
}

bool LogBoardPlayer::send(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); i += kBlockSize) {
        if (!m_write(bytes.sliced(i, qMin<qsizetype>(kBlockSize, bytes.size() - i))))
            return false;
    }
    return true;
}
