#pragma once

#include <QStringView>

// Walks a Log Board text line by line. Only CR LF ends a line: a lone CR or LF
// stays inside it. The piece after the last CR LF is one more line (empty when
// the text ends with CR LF); an empty text has no lines at all.
class CrLfLines
{
public:
    explicit CrLfLines(QStringView text)
        : m_text(text)
        , m_done(text.isEmpty())
    {
    }

    // The next line without its CR LF, with its offset in the text; false at the end.
    bool next(QStringView *line, qsizetype *offset)
    {
        if (m_done)
            return false;
        const qsizetype end = m_text.indexOf(u"\r\n", m_pos);
        *offset = m_pos;
        if (end < 0) {
            *line = m_text.sliced(m_pos);
            m_done = true;
        } else {
            *line = m_text.sliced(m_pos, end - m_pos);
            m_pos = end + 2;
        }
        return true;
    }

    static qsizetype count(QStringView text)
    {
        return text.isEmpty() ? 0 : text.count(u"\r\n") + 1;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_done;
};
