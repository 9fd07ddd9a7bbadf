#include "gui/common/playbackprogress.h"

#include <QLabel>

PlaybackProgress::PlaybackProgress(QLabel *label)
    : m_label(label)
{
}

void PlaybackProgress::show(qsizetype line, qsizetype lineCount)
{
    if (!m_label)
        return;
    if (line < lineCount && m_shown.isValid() && m_shown.elapsed() < kIntervalMs)
        return;
    m_shown.start();
    m_label->setText(QStringLiteral("Line %1 of %2").arg(line).arg(lineCount));
}

void PlaybackProgress::clear()
{
    m_shown.invalidate();
    if (m_label)
        m_label->clear();
}
