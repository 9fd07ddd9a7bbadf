#include "gui/common/keygrid.h"

#include <QAbstractButton>
#include <QKeyEvent>

KeyGrid::KeyGrid(const QList<QAbstractButton *> &cells, int columns, QObject *parent)
    : QObject(parent)
    , m_cells(cells)
    , m_columns(columns)
{
    for (QAbstractButton *cell : m_cells) {
        cell->setFocusPolicy(Qt::TabFocus);
        cell->installEventFilter(this);
    }
}

bool KeyGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int at = m_cells.indexOf(static_cast<QAbstractButton *>(watched));
    if (at < 0)
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
        moveFocus(at, 0, -1);
        return true;
    case Qt::Key_Right:
        moveFocus(at, 0, 1);
        return true;
    case Qt::Key_Up:
        moveFocus(at, -1, 0);
        return true;
    case Qt::Key_Down:
        moveFocus(at, 1, 0);
        return true;
    // Tab goes on from the grid's last cell, Shift+Tab back from its first:
    // the window's own focus chain does the rest.
    case Qt::Key_Tab:
        m_cells.last()->setFocus(Qt::TabFocusReason);
        return false;
    case Qt::Key_Backtab:
        m_cells.first()->setFocus(Qt::BacktabFocusReason);
        return false;
    default:
        return false;
    }
}

// Stops at the grid's edge, and skips cells hidden for a smaller grid.
void KeyGrid::moveFocus(int from, int rowStep, int columnStep) const
{
    int row = from / m_columns;
    int column = from % m_columns;
    const int rows = int((m_cells.size() + m_columns - 1) / m_columns);
    for (;;) {
        row += rowStep;
        column += columnStep;
        const int index = row * m_columns + column;
        if (row < 0 || row >= rows || column < 0 || column >= m_columns || index >= m_cells.size())
            return;
        if (m_cells[index]->isVisible()) {
            m_cells[index]->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}
