#include "core/module/commandlog.h"

namespace {

QString textName(const QString &text)
{
    return QStringLiteral("Text \"%1\"").arg(text);
}

QString replyName(const QString &text)
{
    return QStringLiteral("Reply \"%1\"").arg(text);
}

// A reply's bytes as text: its status data is often printable ("ZS10").
QChar replyCharacter(char byte)
{
    const auto code = quint8(byte);
    return code >= 0x20 && code < 0x7F ? QChar(QLatin1Char(byte)) : QChar(u'\u00B7');
}

} // namespace

void CommandLog::append(LogEntry entry)
{
    entry.serial = m_nextSerial++;
    m_entries.push_back(std::move(entry));
    if (m_entries.size() > size_t(kMaxEntries))
        m_entries.pop_front();
    ++m_revision;
}

LogEntry *CommandLog::openRun(LogVerdict verdict, const QString &note)
{
    if (!m_runOpen || m_entries.empty())
        return nullptr;
    // Only characters and replies open a run, and no character is a reply.
    LogEntry &last = m_entries.back();
    if (last.verdict != verdict || last.note != note || last.text.size() >= kMaxTextRun)
        return nullptr;
    return &last;
}

void CommandLog::add(const QString &name, const QByteArray &bytes, LogVerdict verdict,
                     const QString &note)
{
    m_runOpen = false;
    append({0, name, bytes, verdict, note, false, {}});
}

void CommandLog::addCharacter(quint8 code, QChar shown, LogVerdict verdict, const QString &note)
{
    if (LogEntry *run = openRun(verdict, note)) {
        run->bytes.append(char(code));
        run->text.append(shown);
        ++m_revision;
        return;
    }
    const QString text(shown);
    append({0, {}, QByteArray(1, char(code)), verdict, note, true, text});
    m_runOpen = true;
}

void CommandLog::addReply(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (LogEntry *run = openRun(LogVerdict::Reply, {})) {
            run->bytes.append(byte);
            run->text.append(replyCharacter(byte));
            ++m_revision;
            continue;
        }
        const QString text(replyCharacter(byte));
        append({0, {}, QByteArray(1, byte), LogVerdict::Reply, {}, false, text});
        m_runOpen = true;
    }
}

void CommandLog::clear()
{
    m_entries.clear();
    m_runOpen = false;
    ++m_revision;
}

QString CommandLog::line(const LogEntry &entry)
{
    QString out;
    if (entry.verdict == LogVerdict::NotUnderstood)
        out = QStringLiteral("!! ");
    else if (entry.verdict == LogVerdict::Reply)
        out = QStringLiteral("<< ");
    // A run's name is made here, not with every byte that joins it.
    const QString name = entry.isText                         ? textName(entry.text)
                         : entry.verdict == LogVerdict::Reply ? replyName(entry.text)
                                                              : entry.name;
    out += name + QStringLiteral("  ") + QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
    if (entry.verdict == LogVerdict::Ignored)
        out += QStringLiteral("  (ignored: %1)").arg(entry.note);
    else if (!entry.note.isEmpty())
        out += QStringLiteral("  (%1)").arg(entry.note);
    return out;
}
