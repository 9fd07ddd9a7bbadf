#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A text of the output monitor as a view reads it: line by line and a piece at
// a time, so that showing a long text never copies or lays out all of it. The
// monitor keeps each text once; views only read.
class MonitorText
{
public:
    virtual ~MonitorText() = default;

    virtual qsizetype lineCount() const = 0;
    virtual qsizetype lineLength(qsizetype line) const = 0;
    // Appends characters [from, from + count) of the line, clipped to it.
    virtual void appendPiece(QString &out, qsizetype line, qsizetype from,
                             qsizetype count) const = 0;

    QString piece(qsizetype line, qsizetype from, qsizetype count) const;
    // The whole text with lineBreak between two lines (and after the last).
    QString joined(QStringView lineBreak, bool breakAfterLast = false) const;
};

// A text kept as it was given; its lines end at LF or CR LF.
class PlainMonitorText final : public MonitorText
{
public:
    explicit PlainMonitorText(const QString &text = QString());

    const QString &text() const { return m_text; }
    void setText(const QString &text);

    qsizetype lineCount() const override { return m_starts.size(); }
    qsizetype lineLength(qsizetype line) const override;
    void appendPiece(QString &out, qsizetype line, qsizetype from, qsizetype count) const override;

private:
    QString m_text;
    QList<qsizetype> m_starts; // each line's first character
    QList<qsizetype> m_ends;   // where each line's break (or the text) begins
};

// The last command's "[hh]" groups: one line, made from its bytes when shown.
class CodeGroupsText final : public MonitorText
{
public:
    void setBytes(const QByteArray &bytes) { m_bytes = bytes; }

    qsizetype lineCount() const override { return 1; }
    qsizetype lineLength(qsizetype line) const override;
    void appendPiece(QString &out, qsizetype line, qsizetype from, qsizetype count) const override;

private:
    QByteArray m_bytes;
};

// The code box: a plain text ("log") until a command is shown, then the
// command's "[hh]" groups.
class CodesText final : public MonitorText
{
public:
    explicit CodesText(const QString &plain) { setPlain(plain); }

    void setPlain(const QString &text);
    void setBytes(const QByteArray &bytes);
    QString text() const;

    qsizetype lineCount() const override { return shown().lineCount(); }
    qsizetype lineLength(qsizetype line) const override { return shown().lineLength(line); }
    void appendPiece(QString &out, qsizetype line, qsizetype from, qsizetype count) const override
    {
        shown().appendPiece(out, line, from, count);
    }

private:
    const MonitorText &shown() const;

    PlainMonitorText m_plain;
    CodeGroupsText m_groups;
    bool m_plainShown = true;
};

// One "[T]" line per command since the last clear, kept as the commands' bytes
// (one byte for the three characters each shows).
class HistoryText final : public MonitorText
{
public:
    void append(const QByteArray &bytes);
    void clear();
    // Every line followed by CR LF, as the binary save reads it.
    QString text() const;

    qsizetype lineCount() const override { return m_ends.size(); }
    qsizetype lineLength(qsizetype line) const override;
    void appendPiece(QString &out, qsizetype line, qsizetype from, qsizetype count) const override;

private:
    QByteArrayView lineBytes(qsizetype line) const;

    QByteArray m_bytes;
    QList<qsizetype> m_ends; // where each line's bytes end in m_bytes
};
