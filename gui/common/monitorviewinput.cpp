// The caret, the selection, and what keys and the mouse do to them.
#include "core/transport/monitortext.h"
#include "gui/common/monitorview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

QString MonitorView::toPlainText() const
{
    return m_text.joined(u"\n");
}

QString MonitorView::selectedText() const
{
    const TextPos from = qMin(m_anchor, m_caret);
    const TextPos to = qMax(m_anchor, m_caret);
    QString text;
    for (qsizetype line = from.line; line <= to.line; ++line) {
        const qsizetype begin = line == from.line ? from.column : 0;
        const qsizetype end = line == to.line ? to.column : m_layout.lineLength(line);
        if (line > from.line)
            text += u'\n';
        m_text.appendPiece(text, line, begin, end - begin);
    }
    return text;
}

void MonitorView::selectAll()
{
    m_anchor = TextPos{};
    m_caret = m_layout.end();
    m_caretAtRowEnd = false;
    viewport()->update();
    offerSelection();
}

void MonitorView::copy() const
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void MonitorView::offerSelection() const
{
    QClipboard *clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void MonitorView::moveCaret(const Target &to, bool select)
{
    m_caret = to.pos;
    m_caretAtRowEnd = to.atRowEnd;
    if (!select)
        m_anchor = m_caret;
    ensureCaretVisible();
    viewport()->update();
}

qsizetype MonitorView::scanWhile(qsizetype line, qsizetype column, bool forward, bool word) const
{
    // A line can hold half a million characters: read it a little at a time.
    constexpr qsizetype kChunk = 64;
    const qsizetype length = m_layout.lineLength(line);
    while (forward ? column < length : column > 0) {
        const qsizetype from = forward ? column : qMax(qsizetype(0), column - kChunk);
        const QString chunk = m_text.piece(line, from, forward ? kChunk : column - from);
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            const QChar c = chunk[forward ? i : chunk.size() - 1 - i];
            if (isWordCharacter(c) != word)
                return column;
            column += forward ? 1 : -1;
        }
    }
    return column;
}

TextPos MonitorView::nextWord(TextPos pos) const
{
    if (pos.column >= m_layout.lineLength(pos.line))
        return pos.line + 1 < m_layout.lineCount() ? TextPos{pos.line + 1, 0} : pos;
    const qsizetype endOfWord = scanWhile(pos.line, pos.column, true, true);
    return {pos.line, scanWhile(pos.line, endOfWord, true, false)};
}

TextPos MonitorView::previousWord(TextPos pos) const
{
    if (pos.column == 0)
        return pos.line > 0 ? TextPos{pos.line - 1, m_layout.lineLength(pos.line - 1)} : pos;
    const qsizetype afterWord = scanWhile(pos.line, pos.column, false, false);
    return {pos.line, scanWhile(pos.line, afterWord, false, true)};
}

std::pair<TextPos, TextPos> MonitorView::wordAround(TextPos pos) const
{
    const qsizetype length = m_layout.lineLength(pos.line);
    const qsizetype column = qMin(pos.column, length - 1);
    if (column < 0)
        return {pos, pos};
    if (!isWordCharacter(m_text.piece(pos.line, column, 1).at(0)))
        return {{pos.line, column}, {pos.line, column + 1}};
    return {{pos.line, scanWhile(pos.line, column, false, true)},
            {pos.line, scanWhile(pos.line, column, true, true)}};
}

MonitorView::Target MonitorView::stepped(Step step) const
{
    const qsizetype rowIndex = m_layout.rowOf(m_caret, m_caretAtRowEnd);
    const MonitorLayout::Row row = m_layout.row(rowIndex);
    const auto toRow = [this, &row](qsizetype index) {
        index = qBound(qsizetype(0), index, m_layout.rowCount() - 1);
        const MonitorLayout::Row to = m_layout.row(index);
        const TextPos pos = m_layout.positionAt(index, m_caret.column - row.start);
        return Target{pos, !to.lastOfLine && pos.column == to.start + to.length};
    };
    const qsizetype length = m_layout.lineLength(m_caret.line);
    switch (step) {
    case Step::NextChar:
        if (m_caret.column < length)
            return {{m_caret.line, m_caret.column + 1}};
        return {m_caret.line + 1 < m_layout.lineCount() ? TextPos{m_caret.line + 1, 0} : m_caret};
    case Step::PreviousChar:
        if (m_caret.column > 0)
            return {{m_caret.line, m_caret.column - 1}};
        return {m_caret.line > 0 ? TextPos{m_caret.line - 1, m_layout.lineLength(m_caret.line - 1)}
                                 : m_caret};
    case Step::NextWord:
        return {nextWord(m_caret)};
    case Step::PreviousWord:
        return {previousWord(m_caret)};
    case Step::NextRow:
        return toRow(rowIndex + 1);
    case Step::PreviousRow:
        return toRow(rowIndex - 1);
    case Step::NextPage:
        return toRow(rowIndex + visibleRows());
    case Step::PreviousPage:
        return toRow(rowIndex - visibleRows());
    case Step::RowStart:
        return {{row.line, row.start}};
    case Step::RowEnd:
        return {{row.line, row.start + row.length}, !row.lastOfLine};
    case Step::TextStart:
        return {};
    case Step::TextEnd:
        return {m_layout.end()};
    }
    return {m_caret};
}

void MonitorView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    struct Key
    {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Step step;
    };
    static constexpr Key kKeys[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Step::NextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Step::PreviousChar},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Step::NextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Step::PreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Step::NextRow},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Step::PreviousRow},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Step::NextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Step::PreviousPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Step::RowStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Step::RowEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Step::TextStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Step::TextEnd},
    };
    for (const Key &key : kKeys) {
        const bool move = event->matches(key.move);
        if (move || event->matches(key.select)) {
            moveCaret(stepped(key.step), !move);
            return;
        }
    }
    event->ignore();
}

MonitorView::Target MonitorView::hitTest(QPoint point) const
{
    const auto rowsDown = qsizetype(std::floor(double(point.y() - kMargin) / m_rowHeight));
    const qsizetype index =
        qBound(qsizetype(0), verticalScrollBar()->value() + rowsDown, m_layout.rowCount() - 1);
    const MonitorLayout::Row row = m_layout.row(index);
    const qsizetype column = qMax(
        qsizetype(0), firstColumn() + qsizetype(std::lround((point.x() - kMargin) / m_charWidth)));
    return {m_layout.positionAt(index, column), !row.lastOfLine && column >= row.length};
}

void MonitorView::dragTo(QPoint point)
{
    // At most a row (or a column) beyond the edge, so that holding the mouse
    // outside scrolls steadily instead of jumping.
    const QPoint near(
        qBound(-qCeil(m_charWidth), point.x(), viewport()->width() + qCeil(m_charWidth)),
        qBound(-1, point.y(), viewport()->height()));
    moveCaret(hitTest(near), true);
}

void MonitorView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    const Target at = hitTest(point);
    const bool thirdClick =
        m_sinceDoubleClick.isValid() &&
        m_sinceDoubleClick.elapsed() < QApplication::doubleClickInterval() &&
        (point - m_doubleClickPoint).manhattanLength() < QApplication::startDragDistance();
    m_sinceDoubleClick.invalidate();
    if (thirdClick) {
        m_anchor = {at.pos.line, 0};
        moveCaret({{at.pos.line, m_layout.lineLength(at.pos.line)}}, true);
        offerSelection();
        return;
    }
    moveCaret(at, event->modifiers().testFlag(Qt::ShiftModifier));
    m_dragging = true;
    m_dragPoint = point;
}

void MonitorView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !event->buttons().testFlag(Qt::LeftButton))
        return;
    m_dragPoint = event->position().toPoint();
    if (viewport()->rect().contains(m_dragPoint))
        m_autoScroll.stop();
    else if (!m_autoScroll.isActive())
        m_autoScroll.start(50, this);
    dragTo(m_dragPoint);
}

void MonitorView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    m_autoScroll.stop();
    offerSelection();
}

void MonitorView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const auto [from, to] = wordAround(hitTest(point).pos);
    m_anchor = from;
    moveCaret({to}, true);
    m_dragging = false;
    m_sinceDoubleClick.start();
    m_doubleClickPoint = point;
    offerSelection();
}

void MonitorView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_autoScroll.timerId())
        dragTo(m_dragPoint);
    else
        QAbstractScrollArea::timerEvent(event);
}

void MonitorView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(tr("&Copy"), this, [this] { copy(); });
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    menu.addSeparator();
    QAction *all = menu.addAction(tr("Select All"), this, [this] { selectAll(); });
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(m_layout.end() != TextPos{});
    menu.exec(event->globalPos());
}

void MonitorView::wheelEvent(QWheelEvent *event)
{
    // A one-line box has nothing to scroll up and down: the wheel moves it sideways.
    if (m_oneLine)
        QApplication::sendEvent(horizontalScrollBar(), event);
    else
        QAbstractScrollArea::wheelEvent(event);
}
