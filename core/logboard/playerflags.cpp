#include "core/logboard/playerflags.h"

#include "core/logboard/logboard.h"

PlayerFlagSet::PlayerFlagSet(QObject *parent)
    : QObject(parent)
{
}

void PlayerFlagSet::setPlaying(bool on)
{
    set(m_playing, on);
}

void PlayerFlagSet::setPaused(bool on)
{
    set(m_paused, on);
}

void PlayerFlagSet::setStepping(bool on)
{
    set(m_stepping, on);
}

void PlayerFlagSet::set(bool &flag, bool on)
{
    if (std::exchange(flag, on) != on)
        emit flagsChanged();
}

LogBoardFlags::LogBoardFlags(LogBoard &board)
    : m_board(board)
{
}

bool LogBoardFlags::playing() const
{
    return m_board.playing();
}

void LogBoardFlags::setPlaying(bool on)
{
    if (on)
        m_board.setRecording(false);
    m_board.setPlaying(on);
}

bool LogBoardFlags::paused() const
{
    return m_board.paused();
}

void LogBoardFlags::setPaused(bool on)
{
    m_board.setPaused(on);
}
