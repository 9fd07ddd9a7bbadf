#pragma once

#include "gui/common/monitorlayout.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>

class MonitorText;

// A read-only text box for one of the output monitor's texts, in a fixed-pitch
// font. It reads the text where the monitor keeps it, lays it out by
// arithmetic and paints only the rows in view, so a command of 131,073 bytes
// shows at once. The caret, selecting with mouse and keyboard, copying
// (Ctrl+C, the context menu, the X11 selection) and scrolling work as in any
// read-only text box.
class MonitorView : public QAbstractScrollArea
{
    Q_OBJECT
    Q_PROPERTY(QString plainText READ toPlainText)
public:
    // One line: rows never wrap and the box scrolls sideways (the name boxes).
    // Wrapped: rows break between groups of `unit` characters.
    enum class Rows { OneLine, Wrapped };
    MonitorView(const MonitorText &text, Rows rows, int unit = 1, QWidget *parent = nullptr);

    // The lines joined with "\n", as a text box gives them.
    QString toPlainText() const;
    QString selectedText() const;
    bool hasSelection() const { return m_anchor != m_caret; }
    bool caretAtEnd() const { return m_caret == m_layout.end(); }

    void selectAll();
    void copy() const;
    // The text was replaced: caret and view go to its start.
    void reload();
    // Caret and view go to the end of the text; after lines were added at the
    // end (or after reload()), so that the newest line is in view.
    void appended();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    enum class Step {
        NextChar,
        PreviousChar,
        NextWord,
        PreviousWord,
        NextRow,
        PreviousRow,
        NextPage,
        PreviousPage,
        RowStart,
        RowEnd,
        TextStart,
        TextEnd
    };
    struct Target
    {
        TextPos pos;
        bool atRowEnd = false;
    };

    static constexpr int kMargin = 3; // between the frame and the text, as a text box leaves

    // monitorview.cpp: metrics, scrolling, painting
    void updateMetrics();
    void updateScrollBars();
    void fitColumns();
    int visibleRows() const;
    qsizetype visibleColumns() const;
    qsizetype firstColumn() const;
    qreal columnX(qsizetype column) const;
    void ensureCaretVisible();
    void paintRow(QPainter &painter, const MonitorLayout::Row &row, int y) const;
    void drawCells(QPainter &painter, const QString &text, qreal x, int baseline) const;

    // monitorviewinput.cpp: caret, selection, keys and mouse
    void moveCaret(const Target &to, bool select);
    Target stepped(Step step) const;
    TextPos nextWord(TextPos pos) const;
    TextPos previousWord(TextPos pos) const;
    std::pair<TextPos, TextPos> wordAround(TextPos pos) const;
    // The column where a run of word characters (or of others) ends.
    qsizetype scanWhile(qsizetype line, qsizetype column, bool forward, bool word) const;
    Target hitTest(QPoint point) const;
    void dragTo(QPoint point);
    void offerSelection() const;

    const MonitorText &m_text;
    MonitorLayout m_layout;
    const bool m_oneLine;
    TextPos m_anchor;
    TextPos m_caret;
    bool m_caretAtRowEnd = false;
    qreal m_charWidth = 8;
    int m_rowHeight = 16;
    int m_ascent = 12;
    bool m_cells = false; // the font's glyphs are not all one width: draw cell by cell
    bool m_dragging = false;
    QPoint m_dragPoint;
    QBasicTimer m_autoScroll;
    QElapsedTimer m_sinceDoubleClick; // a third click soon after selects the line
    QPoint m_doubleClickPoint;
};
