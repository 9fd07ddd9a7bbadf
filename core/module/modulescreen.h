#pragma once

#include "core/module/glyphs.h"

#include <QList>
#include <QPoint>

#include <span>

// One character position of the glass as it was written: the dots it shows and
// the attributes it was written with.
struct ModuleCell
{
    quint8 code = 0x20;         // the code written
    char16_t character = u' ';  // what it stood for when written; 0 for none
    bool userFont = false;      // drawn from a RAM user font
    bool magnifiedPart = false; // a part of a magnified character other than its top left
    CellDots dots{};
    bool blink = false;
    bool underline = false;
    int brightness = 8; // character brightness level, 1 (0%) to 8 (100%)

    friend bool operator==(const ModuleCell &, const ModuleCell &) = default;
};

enum class WriteMode { OverWrite, VerticalScroll, HorizontalScroll };

// The character cells and the cursor, and how writing and the control codes move
// them. A character wider than one cell (magnified) takes w x h cells.
//
// Over-write and vertical scroll mode wrap at once: after the last column the
// cursor stands at the start of the next line; past the bottom line it goes
// home (over-write) or the display scrolls up a line (vertical scroll). In
// horizontal scroll mode the cursor may stand just past the right end; the next
// character then scrolls its line to the left and is written at the end.
class ModuleScreen
{
public:
    // Rows that moved sideways in horizontal scroll mode, for the picture to slide.
    struct Scroll
    {
        int row = -1;
        int height = 0;
        int columns = 0;
    };

    ModuleScreen(int rows = 4, int columns = 24);

    // Keeps what still fits; the cursor is kept inside.
    void resize(int rows, int columns);
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    const ModuleCell &cell(int row, int column) const { return m_cells[row * m_columns + column]; }
    QPoint cursor() const { return m_cursor; }

    // parts: w x h cells, row by row. Returns the sideways scroll it caused, if any.
    Scroll write(std::span<const ModuleCell> parts, int w, int h, WriteMode mode);
    void backSpace();
    void horizontalTab(WriteMode mode);
    void lineFeed(WriteMode mode);
    void carriageReturn() { m_cursor.setX(0); }
    void home() { m_cursor = {0, 0}; }
    void clear();
    // False when the position lies outside the display.
    bool setCursor(int x, int y);
    void insertCharacter();
    void deleteCharacter();
    void insertLine();
    void deleteLine();

private:
    ModuleCell &at(int row, int column) { return m_cells[row * m_columns + column]; }
    void scrollUp(int lines);
    void scrollLeft(int row, int height, int columns);
    // Past the bottom line: back to the top, or the display moves up.
    void keepInside(WriteMode mode, int height);

    int m_rows;
    int m_columns;
    QList<ModuleCell> m_cells;
    QPoint m_cursor{0, 0};
};
