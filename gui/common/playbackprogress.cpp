#include "gui/common/playbackprogress.h"

#include <QLabel>

PlaybackProgress::PlaybackProgress(QLabel *label)
    : m_label(label)
{
    // The label holds its room from the start, and a longer count does not
    // widen it: a run that starts or ends moves no button under the pointer
    // (a click on STOP must not land on PLAY).
    const QSize room =
        label->fontMetrics().size(Qt::TextSingleLine, QStringLiteral("Line 000000 of 000000"));
    label->setMinimumSize(room);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
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
