#include "app/sim/decodedlineprinter.h"

#include "core/module/commandlog.h"

#include <algorithm>

DecodedLinePrinter::DecodedLinePrinter(CommandLog &log,
                                       std::function<void(const QString &)> lineOut,
                                       QObject *parent)
    : QObject(parent)
    , m_log(log)
    , m_lineOut(std::move(lineOut))
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        m_log.closeRun();
        print(true);
    });
}

void DecodedLinePrinter::print(bool all)
{
    const std::deque<LogEntry> &entries = m_log.entries();
    if (entries.empty())
        return;
    // Serials count up by one, so the unprinted entries are the last few.
    const quint64 unprinted = entries.back().serial - std::min(m_printed, entries.back().serial);
    const size_t first = entries.size() - size_t(std::min<quint64>(unprinted, entries.size()));
    const bool lastOpen = !all && m_log.runOpen();
    for (size_t i = first; i < entries.size(); ++i) {
        if (lastOpen && i + 1 == entries.size())
            break; // it may still grow
        m_lineOut(CommandLog::line(entries[i]));
        m_printed = entries[i].serial;
    }
}
