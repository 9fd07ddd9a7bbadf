#include "core/logboard/logboard.h"

#include "core/logboard/logrecord.h"

LogBoard::LogBoard(QObject *parent)
    : QObject(parent)
{
}

void LogBoard::setText(const QString &text)
{
    m_text = text;
    emit textChanged();
}

QString LogBoard::takeText()
{
    QString text = std::exchange(m_text, QString());
    emit textChanged();
    return text;
}

void LogBoard::setRecording(bool on)
{
    if (std::exchange(m_recording, on) != on)
        emit flagsChanged();
}

void LogBoard::setPaused(bool on)
{
    if (std::exchange(m_paused, on) != on)
        emit flagsChanged();
}

void LogBoard::setPlaying(bool on)
{
    if (std::exchange(m_playing, on) != on)
        emit flagsChanged();
}

void LogBoard::appendRecord(const QString &record)
{
    if (!recordsNow())
        return;
    m_text += record;
    // With a sink attached the whole accumulated text moves on, so nothing
    // recorded before the sink appeared is left behind here.
    if (m_sink)
        m_sink->appendLogText(std::exchange(m_text, QString()));
    emit textChanged();
}

void LogBoard::record(const QString &title, const QString &help, const Codes &codes)
{
    // Formatted only while it is kept: a 128 KB command makes half a million
    // characters.
    if (recordsNow())
        appendRecord(LogRecord::format(title, help, codes));
}
