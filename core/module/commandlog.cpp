#include "core/module/commandlog.h"

void CommandLog::append(LogEntry entry)
{
    entry.serial = m_nextSerial++;
    m_entries.push_back(std::move(entry));
    if (m_entries.size() > size_t(kMaxEntries))
        m_entries.pop_front();
    ++m_revision;
}

void CommandLog::add(const QString &name, const QByteArray &bytes, LogVerdict verdict,
                     const QString &note)
{
    m_textOpen = false;
    append({0, name, bytes, verdict, note, false, {}});
}

void CommandLog::addCharacter(quint8 code, QChar shown, LogVerdict verdict, const QString &note)
{
    if (m_textOpen && !m_entries.empty()) {
        LogEntry &last = m_entries.back();
        if (last.isText && last.verdict == verdict && last.note == note &&
            last.text.size() < kMaxTextRun) {
            last.bytes.append(char(code));
            last.text.append(shown);
            last.name = QStringLiteral("Text \"%1\"").arg(last.text);
            ++m_revision;
            return;
        }
    }
    const QString text(shown);
    append({0, QStringLiteral("Text \"%1\"").arg(text), QByteArray(1, char(code)), verdict, note,
            true, text});
    m_textOpen = true;
}

void CommandLog::clear()
{
    m_entries.clear();
    m_textOpen = false;
    ++m_revision;
}

QString CommandLog::line(const LogEntry &entry)
{
    QString out;
    if (entry.verdict == LogVerdict::NotUnderstood)
        out = QStringLiteral("!! ");
    out +=
        entry.name + QStringLiteral("  ") + QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
    if (entry.verdict == LogVerdict::Ignored)
        out += QStringLiteral("  (ignored: %1)").arg(entry.note);
    else if (!entry.note.isEmpty())
        out += QStringLiteral("  (%1)").arg(entry.note);
    return out;
}
