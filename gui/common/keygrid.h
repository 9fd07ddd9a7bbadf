#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;

// A grid of buttons (the font editor's dots, the cursor picker) as one stop
// for the keyboard: Tab enters it and leaves it, the arrow keys move within
// it, and Space presses the button in focus as a click would.
class KeyGrid : public QObject
{
    Q_OBJECT
public:
    // cells row by row, columns to a row; they become its children's watchers.
    KeyGrid(const QList<QAbstractButton *> &cells, int columns, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveFocus(int from, int rowStep, int columnStep) const;

    QList<QAbstractButton *> m_cells;
    int m_columns;
};
