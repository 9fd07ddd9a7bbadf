#pragma once

#include <QList>
#include <QtGlobal>

class MonitorText;

// A place in a monitor text: before character `column` of line `line`.
struct TextPos
{
    qsizetype line = 0;
    qsizetype column = 0;
    bool operator==(const TextPos &) const = default;
    bool operator<(const TextPos &other) const
    {
        return line != other.line ? line < other.line : column < other.column;
    }
};

// Where each character of a monitor text stands in a fixed-pitch view. Every
// character takes one column, so rows are computed, never measured: laying
// out a text of 131,073 "[hh]" groups costs one division.
class MonitorLayout
{
public:
    struct Row
    {
        qsizetype line = 0;
        qsizetype start = 0;  // the row's first column in its line
        qsizetype length = 0; // characters on the row
        bool lastOfLine = true;
    };

    explicit MonitorLayout(const MonitorText &text);

    // Wrapped rows hold at most `columns` characters and, where the width
    // allows, a whole number of `unit` characters, so that a group ("[1f]",
    // "1F ") is never split; unwrapped, each line is one row.
    void setWrapping(bool wrap, qsizetype unit);
    void setColumns(qsizetype columns);
    bool wraps() const { return m_wrap; }
    qsizetype rowWidth() const { return m_width; }

    // The text was replaced (relayout) or had lines added at its end (extend).
    void relayout();
    void extend();

    // An empty text still has one empty line, where the caret stands.
    qsizetype lineCount() const { return m_firstRow.size() - 1; }
    qsizetype lineLength(qsizetype line) const;
    TextPos end() const;
    qsizetype rowCount() const { return m_firstRow.last(); }
    qsizetype longestLine() const { return m_longest; }

    Row row(qsizetype index) const;
    // The row a position shows on. A position at the border of two rows of
    // one line is the start of the second, or the end of the first when
    // atRowEnd is set (after End, or a click past a row's end).
    qsizetype rowOf(TextPos pos, bool atRowEnd = false) const;
    // The position at a column of a row, clipped to the row.
    TextPos positionAt(qsizetype row, qsizetype column) const;

private:
    qsizetype rowsOf(qsizetype length) const;
    void addLine(qsizetype line);

    const MonitorText &m_text;
    bool m_wrap = false;
    qsizetype m_unit = 1;
    qsizetype m_columns = 80;
    qsizetype m_width = 80;
    QList<qsizetype> m_firstRow{0, 1}; // per line, then the row count
    qsizetype m_textLines = 0;         // the text's lines laid out so far
    qsizetype m_longest = 0;
};
