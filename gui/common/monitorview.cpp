#include "gui/common/monitorview.h"

#include "core/transport/monitortext.h"
#include "gui/common/fixedfont.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>

#include <limits>

namespace {

int clampToInt(qsizetype n)
{
    return int(qBound(qsizetype(0), n, qsizetype(std::numeric_limits<int>::max())));
}

bool latin1Only(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

} // namespace

MonitorView::MonitorView(const MonitorText &text, Rows rows, int unit, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_text(text)
    , m_layout(text)
    , m_oneLine(rows == Rows::OneLine)
{
    m_layout.setWrapping(!m_oneLine, unit);
    setFont(fixedPitchFont());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (m_oneLine) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    updateMetrics();
}

void MonitorView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    // Measured over a run, so that the grid matches where drawText puts the
    // glyphs of a whole row (hinting may round each advance).
    constexpr int kRun = 64;
    m_charWidth = qMax(1.0, metrics.horizontalAdvance(QString(kRun, u'0')) / kRun);
    m_rowHeight = qMax(1, qCeil(metrics.lineSpacing()));
    m_ascent = qCeil(metrics.ascent());
    // Asked, not taken from the font's own flag: some fixed-pitch fonts (Noto
    // Sans Mono) do not claim to be.
    m_cells = false;
    for (const QChar c : QStringLiteral("iMW.@"))
        m_cells = m_cells || !qFuzzyCompare(metrics.horizontalAdvance(c), m_charWidth);
    fitColumns();
    updateGeometry();
}

int MonitorView::visibleRows() const
{
    return qMax(1, (viewport()->height() - 2 * kMargin) / m_rowHeight);
}

qsizetype MonitorView::visibleColumns() const
{
    return qMax(qsizetype(1), qsizetype((viewport()->width() - 2 * kMargin) / m_charWidth));
}

qsizetype MonitorView::firstColumn() const
{
    return m_oneLine ? horizontalScrollBar()->value() : 0;
}

qreal MonitorView::columnX(qsizetype column) const
{
    return kMargin + qreal(column - firstColumn()) * m_charWidth;
}

void MonitorView::fitColumns()
{
    if (m_oneLine) {
        updateScrollBars();
        return;
    }
    // Rewrapping keeps the row at the top in view, or the end when it was shown.
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->maximum() > 0 && bar->value() == bar->maximum();
    const TextPos top = m_layout.positionAt(bar->value(), 0);
    m_layout.setColumns(visibleColumns());
    updateScrollBars();
    bar->setValue(atEnd ? bar->maximum() : clampToInt(m_layout.rowOf(top)));
}

void MonitorView::updateScrollBars()
{
    QScrollBar *rows = verticalScrollBar();
    rows->setRange(0, clampToInt(m_layout.rowCount() - visibleRows()));
    rows->setPageStep(visibleRows());
    rows->setSingleStep(1);
    QScrollBar *columns = horizontalScrollBar();
    // One column more than the longest line, for the caret behind its end.
    columns->setRange(0, m_oneLine ? clampToInt(m_layout.longestLine() + 1 - visibleColumns()) : 0);
    columns->setPageStep(clampToInt(visibleColumns()));
    columns->setSingleStep(1);
}

void MonitorView::reload()
{
    m_layout.relayout();
    m_anchor = m_caret = TextPos{};
    m_caretAtRowEnd = false;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void MonitorView::appended()
{
    m_layout.extend();
    updateScrollBars();
    moveCaret({m_layout.end(), false}, false);
}

void MonitorView::ensureCaretVisible()
{
    QScrollBar *rows = verticalScrollBar();
    const qsizetype row = m_layout.rowOf(m_caret, m_caretAtRowEnd);
    if (row < rows->value())
        rows->setValue(clampToInt(row));
    else if (row >= rows->value() + visibleRows())
        rows->setValue(clampToInt(row - visibleRows() + 1));
    if (!m_oneLine)
        return;
    QScrollBar *columns = horizontalScrollBar();
    if (m_caret.column < columns->value())
        columns->setValue(clampToInt(m_caret.column));
    else if (m_caret.column >= columns->value() + visibleColumns())
        columns->setValue(clampToInt(m_caret.column - visibleColumns() + 1));
}

QSize MonitorView::sizeHint() const
{
    if (!m_oneLine)
        return QAbstractScrollArea::sizeHint();
    return {qCeil(24 * m_charWidth) + 2 * (kMargin + frameWidth()), minimumSizeHint().height()};
}

QSize MonitorView::minimumSizeHint() const
{
    const int height = m_rowHeight + 2 * (kMargin + frameWidth());
    if (!m_oneLine)
        return {qCeil(8 * m_charWidth), height};
    return {qCeil(4 * m_charWidth) + 2 * (kMargin + frameWidth()), height};
}

void MonitorView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    fitColumns();
}

void MonitorView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
}

void MonitorView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void MonitorView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void MonitorView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void MonitorView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const qsizetype first = verticalScrollBar()->value();
    const qsizetype last = qMin(m_layout.rowCount(), first + visibleRows() + 1);
    for (qsizetype index = first; index < last; ++index)
        paintRow(painter, m_layout.row(index), kMargin + int(index - first) * m_rowHeight);

    const qsizetype caretRow = m_layout.rowOf(m_caret, m_caretAtRowEnd);
    if (hasFocus() && caretRow >= first && caretRow < last) {
        const MonitorLayout::Row row = m_layout.row(caretRow);
        const qreal x = columnX(m_caret.column - row.start);
        const int y = kMargin + int(caretRow - first) * m_rowHeight;
        painter.setPen(palette().color(QPalette::Text));
        painter.drawLine(QPointF(x, y), QPointF(x, y + m_rowHeight - 1));
    }
}

void MonitorView::paintRow(QPainter &painter, const MonitorLayout::Row &row, int y) const
{
    // Only the characters in view: a one-line box scrolled far into a long text
    // still reads a few dozen of them.
    const qsizetype skip = m_oneLine ? qMin(firstColumn(), row.length) : 0;
    const qsizetype count = qMin(row.length - skip, visibleColumns() + 1);
    const QString text = m_text.piece(row.line, row.start + skip, count);
    const qreal x = columnX(skip);
    const int baseline = y + m_ascent;

    // The selection on this row, in the line's columns; a selection that goes
    // on past the line's end also marks the cell after it.
    const TextPos from = qMin(m_anchor, m_caret);
    const TextPos to = qMax(m_anchor, m_caret);
    QRectF selected;
    if (from != to && row.line >= from.line && row.line <= to.line) {
        const qsizetype lineEnd = m_layout.lineLength(row.line);
        const qsizetype begin = row.line == from.line ? from.column : 0;
        const qsizetype end = row.line == to.line ? to.column : lineEnd + 1;
        const qsizetype rowEnd = row.start + row.length + (row.lastOfLine ? 1 : 0);
        const qsizetype a = qMax(begin, row.start);
        const qsizetype b = qMin(end, rowEnd);
        if (b > a)
            selected = QRectF(columnX(a - row.start), y, qreal(b - a) * m_charWidth, m_rowHeight);
    }

    if (!selected.isEmpty())
        painter.fillRect(selected, palette().brush(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::Text));
    drawCells(painter, text, x, baseline);
    if (!selected.isEmpty()) {
        painter.save();
        painter.setClipRect(selected);
        painter.setPen(palette().color(QPalette::HighlightedText));
        drawCells(painter, text, x, baseline);
        painter.restore();
    }
}

void MonitorView::drawCells(QPainter &painter, const QString &text, qreal x, int baseline) const
{
    if (!m_cells && latin1Only(text)) {
        painter.drawText(QPointF(x, baseline), text);
        return;
    }
    // Glyphs of another width (a fallback font for a typed character) each
    // keep to their own column, so the columns below stay where they belong.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        painter.drawText(QPointF(x + qreal(i) * m_charWidth, baseline), text.mid(i, n));
        i += n - 1;
    }
}
