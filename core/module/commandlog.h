#pragma once

#include <QByteArray>
#include <QString>

#include <deque>

// What the module made of one command.
enum class LogVerdict {
    Applied,       // understood and carried out
    Ignored,       // understood, but it had no effect (the note says why)
    NotUnderstood, // bytes that start no command, or a sequence broken off
};

struct LogEntry
{
    quint64 serial = 0; // counts every entry ever added, so views can follow a bounded list
    QString name;
    QByteArray bytes;
    LogVerdict verdict = LogVerdict::Applied;
    QString note;
    bool isText = false; // a run of characters that may still grow
    QString text;        // its characters as they read
};

// The decoded-command list: one entry per command, consecutive characters
// gathered into one text entry of at most kMaxTextRun characters. Only the
// newest kMaxEntries are kept, so a long stream costs bounded memory.
class CommandLog
{
public:
    static constexpr int kMaxEntries = 5000;
    static constexpr int kMaxTextRun = 80;

    void add(const QString &name, const QByteArray &bytes, LogVerdict verdict,
             const QString &note = {});
    // One character; it joins the open text run when the verdict and note match.
    void addCharacter(quint8 code, QChar shown, LogVerdict verdict, const QString &note = {});
    // Ends the open text run, so that the next character starts a new entry.
    void closeTextRun() { m_textOpen = false; }
    bool textRunOpen() const { return m_textOpen; }

    const std::deque<LogEntry> &entries() const { return m_entries; }
    // Grows with every change, extensions of a text run included.
    quint64 revision() const { return m_revision; }
    void clear();

    // "Cursor set x=0 y=0  1F 24 00 00 00 00"; broken-off and unknown bytes are
    // marked "!!", ignored commands say why, and a note follows in parentheses.
    static QString line(const LogEntry &entry);

private:
    void append(LogEntry entry);

    std::deque<LogEntry> m_entries;
    quint64 m_nextSerial = 1;
    quint64 m_revision = 0;
    bool m_textOpen = false;
};
