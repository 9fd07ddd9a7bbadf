#pragma once

#include "core/base/error.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <optional>

class Connection;
class PlayerFlags;
class PortWriter;
class Prompt;
class WriteQueue;

// Plays the "PRT" lines of a Log Board text to the port, whole (PLAY) or one
// command per step key (STEP). Used by the main window and the edit window,
// each with its own flags, and by zepta-cli.
//
// A run is a job of the write queue. PLAY holds the port for the
// whole run, so a command clicked meanwhile goes out after it; STEP holds it
// only while a stepped line is being written, and between steps the port is
// free. Asked for while another write is under way, a run starts once that
// write is done; its flag shows at once, and STOP before it starts cancels it.
//
// Within a run the loop gives the event loop a turn after every line, so the
// owner's buttons stay usable and only change flags (stop(), togglePause(),
// pressStepKey()), which the loop tests at its next check.
class LogBoardPlayer : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        Ignored,     // offline, or a run of this player was going on or waiting
        Waiting,     // queued behind another write; finished() tells the rest
        Refused,     // a token is not one byte; told, and nothing was sent
        Finished,    // every line was handled
        Stopped,     // PLAY or STEP went off (STOP, REC, EDIT, the window closed, offline)
        Ended,       // Esc ended stepping
        WriteFailed, // the port failed (told); the line's unsent bytes are dropped
    };
    Q_ENUM(Outcome)

    enum class StepKey { None = 0, Send = 1, End = -1 }; // F8, Esc

    static constexpr int kBlockSize = 64;
    static constexpr int kPauseWaitMs = 10;

    // All of them must outlive the player.
    LogBoardPlayer(PlayerFlags &flags, Connection &connection, WriteQueue &queue,
                   PortWriter &writer, Prompt &prompt, QObject *parent = nullptr);
    ~LogBoardPlayer() override;

    // A run is going on or waits for its turn.
    bool running() const { return m_state != State::Idle; }

    // Offline, or while this player runs or waits, nothing happens at all
    // (Ignored, and no finished()). A token above FFh refuses the whole text
    // with a message before anything is sent. Otherwise the text is taken as
    // it is now (later edits change nothing) and played: at once, returning
    // how the run ended, or after the write under way (Waiting).
    Outcome play(QString text);
    Outcome step(QString text);

    void togglePause();
    // PLAY, STEP and PAUSE off: a run ends at its next check, a run still
    // waiting for its turn is cancelled, and this player's write waiting for
    // the line gives up. The pause is lifted too, so a paused playback sends
    // one more line before it stops.
    void stop();
    void pressStepKey(StepKey key);

    // Why the last Refused run was refused, as the user was told.
    std::optional<Error> refusal() const { return m_refusal; }

signals:
    // After line n (1-based) of lineCount was handled.
    void progress(qsizetype line, qsizetype lineCount);
    // Stepping: the "PRT" line about to be sent on the next F8, as a character
    // offset and length in the text; at the end the same offset with length 0.
    void highlight(qsizetype position, qsizetype length);
    // Every PLAY or STEP that was not ignored ends here, whenever that is:
    // refused, run, or dropped before its turn (Stopped).
    void finished(LogBoardPlayer::Outcome outcome);

private:
    enum class State { Idle, Waiting, Running };
    enum class Mode { Play, Step };

    Outcome request(QString text, Mode mode);
    // One run over the text's lines; the modes differ in what comes between
    // two lines: a playback lets the window work and heeds PAUSE, stepping
    // waits for the step key with the port free.
    Outcome run(const QString &text, Mode mode);
    // The run's flag: PLAY or STEP.
    bool flagOn(Mode mode) const;
    void setFlag(Mode mode, bool on);
    // False when the player went away meanwhile.
    bool waitForStepKey();
    void end(Outcome outcome);
    bool send(QByteArrayView bytes);

    PlayerFlags &m_flags;
    Connection &m_connection;
    WriteQueue &m_queue;
    PortWriter &m_writer;
    Prompt &m_prompt;
    State m_state = State::Idle;
    quint64 m_ticket = 0;
    Outcome m_lastOutcome = Outcome::Finished;
    bool m_writing = false;
    StepKey m_stepKey = StepKey::None;
    std::optional<Error> m_refusal;
};
