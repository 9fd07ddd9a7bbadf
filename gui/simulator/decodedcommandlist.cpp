#include "gui/simulator/decodedcommandlist.h"

#include "core/module/commandlog.h"
#include "gui/common/fixedfont.h"

namespace {

constexpr int kMaxShownBytes = 48; // a long define or text run is cut in the list, not in the log

QString shownLine(const LogEntry &entry)
{
    if (entry.bytes.size() <= kMaxShownBytes)
        return CommandLog::line(entry);
    LogEntry cut = entry;
    cut.bytes = entry.bytes.left(kMaxShownBytes);
    return CommandLog::line(cut) + QStringLiteral(" ... (%1 bytes)").arg(entry.bytes.size());
}

} // namespace

DecodedCommandList::DecodedCommandList(const CommandLog &log, QWidget *parent)
    : QListWidget(parent)
    , m_log(log)
{
    setObjectName(QStringLiteral("DecodedCommands"));
    setFont(fixedPitchFont());
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    sync();
}

void DecodedCommandList::fill(QListWidgetItem *item, int entryIndex)
{
    const LogEntry &entry = m_log.entries()[size_t(entryIndex)];
    item->setText(shownLine(entry));
    switch (entry.verdict) {
    case LogVerdict::NotUnderstood:
        item->setForeground(QColor(200, 30, 30));
        break;
    case LogVerdict::Ignored:
        item->setForeground(QColor(120, 120, 120));
        break;
    case LogVerdict::Reply:
        item->setForeground(QColor(20, 90, 190));
        break;
    case LogVerdict::Applied:
        break;
    }
}

void DecodedCommandList::sync()
{
    if (m_log.revision() == m_revision)
        return;
    m_revision = m_log.revision();
    const std::deque<LogEntry> &entries = m_log.entries();
    if (entries.empty())
        return;
    const bool atEnd = count() == 0 || currentRow() < 0 || currentRow() == count() - 1;
    // The newest row may be a run of characters that has grown since.
    if (count() > 0 && m_lastSerial >= entries.front().serial) {
        const size_t index = size_t(m_lastSerial - entries.front().serial);
        fill(item(count() - 1), int(index));
    }
    const quint64 fresh = entries.back().serial - m_lastSerial;
    const size_t first = entries.size() - size_t(std::min<quint64>(fresh, entries.size()));
    setUpdatesEnabled(false);
    for (size_t i = first; i < entries.size(); ++i) {
        auto *row = new QListWidgetItem(this);
        fill(row, int(i));
    }
    while (count() > int(entries.size()))
        delete takeItem(0);
    m_lastSerial = entries.back().serial;
    setUpdatesEnabled(true);
    if (atEnd)
        scrollToBottom();
}
