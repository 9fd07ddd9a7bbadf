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
        const qsizetype end = find(m_text, m_pos);
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
        if (text.isEmpty())
            return 0;
        qsizetype n = 1;
        for (qsizetype at = find(text, 0); at >= 0; at = find(text, at + 2))
            ++n;
        return n;
    }

private:
    // The next CR LF from pos, or -1. A search for the single CR is a plain
    // vectorised scan; a two-character search sets up a matcher over the
    // whole rest of the text at every call, which a long Log Board feels.
    static qsizetype find(QStringView text, qsizetype pos)
    {
        for (qsizetype cr = text.indexOf(u'\r', pos); cr >= 0; cr = text.indexOf(u'\r', cr + 1)) {
            if (cr + 1 < text.size() && text[cr + 1] == u'\n')
                return cr;
        }
        return -1;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_done;
};
