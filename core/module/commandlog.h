#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <deque>

// What the module made of one command.
enum class LogVerdict {
    Applied,       // understood and carried out
    Ignored,       // understood, but it had no effect (the note says why)
    NotUnderstood, // bytes that start no command, or a sequence broken off
    Reply,         // bytes a real module sent back, seen by a shadow of its line
};

struct LogEntry
{
    quint64 serial = 0; // counts every entry ever added, so views can follow a bounded list
    QString name;       // a command's; a run's is made from its text (see line())
    QByteArray bytes;
    LogVerdict verdict = LogVerdict::Applied;
    QString note;
    bool isText = false; // a run of characters that may still grow
    QString text;        // its characters as they read (a reply's printable bytes)
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
    // Bytes the module sent back. A reply comes in pieces as the line reads it:
    // they join the open reply until a command comes between or it is closed.
    void addReply(QByteArrayView bytes);
    // Ends the open run of characters or reply bytes, so that what comes next
    // starts a new entry.
    void closeRun() { m_runOpen = false; }
    // The newest entry may still grow.
    bool runOpen() const { return m_runOpen; }

    const std::deque<LogEntry> &entries() const { return m_entries; }
    // Grows with every change, extensions of a text run included.
    quint64 revision() const { return m_revision; }
    void clear();

    // "Cursor set x=0 y=0  1F 24 00 00 00 00"; broken-off and unknown bytes are
    // marked "!!", ignored commands say why, and a note follows in parentheses.
    // A reply reads "<< Reply "(e@ZS10"  28 65 40 5A 53 31 30".
    static QString line(const LogEntry &entry);

private:
    void append(LogEntry entry);
    // Extends the newest entry when it is an open run of this kind with room.
    LogEntry *openRun(LogVerdict verdict, const QString &note);

    std::deque<LogEntry> m_entries;
    quint64 m_nextSerial = 1;
    quint64 m_revision = 0;
    bool m_runOpen = false;
};
