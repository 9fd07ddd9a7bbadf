#include "gui/common/monitorlayout.h"

#include "core/transport/monitortext.h"

#include <algorithm>

MonitorLayout::MonitorLayout(const MonitorText &text)
    : m_text(text)
{
    relayout();
}

void MonitorLayout::setWrapping(bool wrap, qsizetype unit)
{
    m_wrap = wrap;
    m_unit = qMax(qsizetype(1), unit);
    setColumns(m_columns);
}

void MonitorLayout::setColumns(qsizetype columns)
{
    m_columns = qMax(qsizetype(1), columns);
    const qsizetype width =
        m_columns >= m_unit ? m_columns - m_columns % m_unit : m_columns; // narrower than a group
    if (width == m_width)
        return;
    m_width = width;
    relayout();
}

qsizetype MonitorLayout::rowsOf(qsizetype length) const
{
    return m_wrap && length > 0 ? (length + m_width - 1) / m_width : 1;
}

void MonitorLayout::addLine(qsizetype line)
{
    const qsizetype length = m_text.lineLength(line);
    m_longest = qMax(m_longest, length);
    m_firstRow.append(m_firstRow.last() + rowsOf(length));
}

void MonitorLayout::relayout()
{
    m_firstRow = {0};
    m_longest = 0;
    m_textLines = m_text.lineCount();
    const qsizetype lines = qMax(qsizetype(1), m_textLines);
    m_firstRow.reserve(lines + 1);
    for (qsizetype line = 0; line < lines; ++line)
        addLine(line);
}

void MonitorLayout::extend()
{
    // A text without lines stood as one empty line; its first real line replaces it.
    if (m_textLines == 0) {
        relayout();
        return;
    }
    for (; m_textLines < m_text.lineCount(); ++m_textLines)
        addLine(m_textLines);
}

qsizetype MonitorLayout::lineLength(qsizetype line) const
{
    return m_text.lineLength(line);
}

TextPos MonitorLayout::end() const
{
    const qsizetype last = lineCount() - 1;
    return {last, lineLength(last)};
}

MonitorLayout::Row MonitorLayout::row(qsizetype index) const
{
    index = qBound(qsizetype(0), index, rowCount() - 1);
    // The last line whose first row is at or before index.
    const auto found = std::upper_bound(m_firstRow.cbegin(), m_firstRow.cend() - 1, index);
    const qsizetype line = (found - m_firstRow.cbegin()) - 1;
    const qsizetype length = lineLength(line);
    if (!m_wrap)
        return {line, 0, length, true};
    const qsizetype start = (index - m_firstRow[line]) * m_width;
    return {line, start, qMin(m_width, length - start), index + 1 == m_firstRow[line + 1]};
}

qsizetype MonitorLayout::rowOf(TextPos pos, bool atRowEnd) const
{
    const qsizetype line = qBound(qsizetype(0), pos.line, lineCount() - 1);
    if (!m_wrap)
        return line;
    qsizetype within = pos.column / m_width;
    if (atRowEnd && within > 0 && pos.column % m_width == 0)
        --within;
    return m_firstRow[line] + qMin(within, m_firstRow[line + 1] - m_firstRow[line] - 1);
}

TextPos MonitorLayout::positionAt(qsizetype rowIndex, qsizetype column) const
{
    const Row r = row(rowIndex);
    if (!m_wrap)
        return {r.line, qBound(qsizetype(0), column, r.length)};
    return {r.line, r.start + qBound(qsizetype(0), column, r.length)};
}
