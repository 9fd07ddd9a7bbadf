#include "core/transport/monitortext.h"

#include "core/transport/monitorformat.h"

QString MonitorText::piece(qsizetype line, qsizetype from, qsizetype count) const
{
    QString out;
    appendPiece(out, line, from, count);
    return out;
}

QString MonitorText::joined(QStringView lineBreak, bool breakAfterLast) const
{
    const qsizetype lines = lineCount();
    const qsizetype breaks = breakAfterLast ? lines : qMax(qsizetype(0), lines - 1);
    qsizetype size = breaks * lineBreak.size();
    for (qsizetype line = 0; line < lines; ++line)
        size += lineLength(line);
    QString out;
    out.reserve(size);
    for (qsizetype line = 0; line < lines; ++line) {
        if (line > 0)
            out += lineBreak;
        appendPiece(out, line, 0, lineLength(line));
    }
    if (breakAfterLast && lines > 0)
        out += lineBreak;
    return out;
}

// ---------------------------------------------------------------- plain

PlainMonitorText::PlainMonitorText(const QString &text)
{
    setText(text);
}

void PlainMonitorText::setText(const QString &text)
{
    m_text = text;
    m_starts = {0};
    m_ends.clear();
    for (qsizetype at = m_text.indexOf(u'\n'); at >= 0; at = m_text.indexOf(u'\n', at + 1)) {
        m_ends.append(at > m_starts.last() && m_text[at - 1] == u'\r' ? at - 1 : at);
        m_starts.append(at + 1);
    }
    m_ends.append(m_text.size());
}

qsizetype PlainMonitorText::lineLength(qsizetype line) const
{
    return line >= 0 && line < lineCount() ? m_ends[line] - m_starts[line] : 0;
}

void PlainMonitorText::appendPiece(QString &out, qsizetype line, qsizetype from,
                                   qsizetype count) const
{
    const auto [begin, end] = MonitorFormat::clip(from, count, lineLength(line));
    if (end > begin)
        out += QStringView(m_text).sliced(m_starts[line] + begin, end - begin);
}

// ---------------------------------------------------------------- code groups

qsizetype CodeGroupsText::lineLength(qsizetype line) const
{
    return line == 0 ? MonitorFormat::codeGroupsLength(m_bytes.size()) : 0;
}

void CodeGroupsText::appendPiece(QString &out, qsizetype line, qsizetype from,
                                 qsizetype count) const
{
    if (line == 0)
        MonitorFormat::appendCodeGroupsPiece(out, m_bytes, from, count);
}

// ---------------------------------------------------------------- codes box

void CodesText::setPlain(const QString &text)
{
    m_plain.setText(text);
    m_groups.setBytes(QByteArray());
    m_plainShown = true;
}

void CodesText::setBytes(const QByteArray &bytes)
{
    m_groups.setBytes(bytes);
    m_plain.setText(QString());
    m_plainShown = false;
}

QString CodesText::text() const
{
    return m_plainShown ? m_plain.text() : m_groups.joined(u"");
}

const MonitorText &CodesText::shown() const
{
    if (m_plainShown)
        return m_plain;
    return m_groups;
}

// ---------------------------------------------------------------- history

void HistoryText::append(const QByteArray &bytes)
{
    m_bytes += bytes;
    m_ends.append(m_bytes.size());
}

void HistoryText::clear()
{
    // Clear gives the memory back: the history is the one text that grows.
    m_bytes = QByteArray();
    m_ends = QList<qsizetype>();
}

QByteArrayView HistoryText::lineBytes(qsizetype line) const
{
    if (line < 0 || line >= lineCount())
        return {};
    const qsizetype start = line == 0 ? 0 : m_ends[line - 1];
    return QByteArrayView(m_bytes).sliced(start, m_ends[line] - start);
}

qsizetype HistoryText::lineLength(qsizetype line) const
{
    if (line < 0 || line >= lineCount())
        return 0;
    return MonitorFormat::historyLineLength(lineBytes(line).size());
}

void HistoryText::appendPiece(QString &out, qsizetype line, qsizetype from, qsizetype count) const
{
    if (line >= 0 && line < lineCount())
        MonitorFormat::appendHistoryPiece(out, lineBytes(line), from, count);
}

QString HistoryText::text() const
{
    return joined(u"\r\n", true);
}
