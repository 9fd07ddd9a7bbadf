#include "core/module/modulescreen.h"

#include <algorithm>

ModuleScreen::ModuleScreen(int rows, int columns)
    : m_rows(rows)
    , m_columns(columns)
    , m_cells(rows * columns)
{
}

void ModuleScreen::resize(int rows, int columns)
{
    QList<ModuleCell> cells(rows * columns);
    for (int r = 0; r < std::min(rows, m_rows); ++r) {
        for (int c = 0; c < std::min(columns, m_columns); ++c)
            cells[r * columns + c] = cell(r, c);
    }
    m_cells = cells;
    m_rows = rows;
    m_columns = columns;
    m_cursor = {std::min(m_cursor.x(), columns - 1), std::min(m_cursor.y(), rows - 1)};
}

void ModuleScreen::clear()
{
    std::fill(m_cells.begin(), m_cells.end(), ModuleCell{});
    home();
}

bool ModuleScreen::setCursor(int x, int y)
{
    if (x < 0 || y < 0 || x >= m_columns || y >= m_rows)
        return false;
    m_cursor = {x, y};
    return true;
}

ModuleScreen::Scroll ModuleScreen::write(std::span<const ModuleCell> parts, int w, int h,
                                         WriteMode mode)
{
    w = std::min(w, m_columns);
    h = std::min(h, m_rows);
    int x = m_cursor.x();
    int y = m_cursor.y();
    Scroll scroll;
    if (mode == WriteMode::HorizontalScroll) {
        y = std::min(y, m_rows - h); // a tall character on the bottom line stands on the line above
        if (x + w > m_columns) {
            scroll = {y, h, x + w - m_columns};
            scrollLeft(y, h, scroll.columns);
            x = m_columns - w;
        }
    } else {
        if (x + w > m_columns) {
            x = 0;
            y += h;
        }
        m_cursor = {x, y};
        keepInside(mode, h);
        y = m_cursor.y();
    }
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const size_t part = size_t(r * w + c);
            at(y + r, x + c) = part < parts.size() ? parts[part] : ModuleCell{};
        }
    }
    m_cursor = {x + w, y};
    if (mode != WriteMode::HorizontalScroll && m_cursor.x() >= m_columns) {
        m_cursor = {0, y + h};
        keepInside(mode, 1);
    }
    return scroll;
}

void ModuleScreen::keepInside(WriteMode mode, int height)
{
    const int overflow = m_cursor.y() + height - m_rows;
    if (overflow <= 0)
        return;
    if (mode == WriteMode::VerticalScroll) {
        scrollUp(overflow);
        m_cursor.setY(m_rows - height);
    } else {
        m_cursor.setY(0);
    }
}

void ModuleScreen::backSpace()
{
    if (m_cursor.x() > 0) {
        m_cursor.setX(std::min(m_cursor.x(), m_columns) - 1);
    } else if (m_cursor.y() > 0) {
        m_cursor = {m_columns - 1, m_cursor.y() - 1};
    }
    // At home the cursor stays.
}

void ModuleScreen::horizontalTab(WriteMode mode)
{
    if (mode == WriteMode::HorizontalScroll) {
        if (m_cursor.x() < m_columns)
            m_cursor.setX(m_cursor.x() + 1);
        else
            scrollLeft(m_cursor.y(), 1, 1);
        return;
    }
    m_cursor.setX(m_cursor.x() + 1);
    if (m_cursor.x() >= m_columns) {
        m_cursor = {0, m_cursor.y() + 1};
        keepInside(mode, 1);
    }
}

void ModuleScreen::lineFeed(WriteMode mode)
{
    m_cursor.setY(m_cursor.y() + 1);
    keepInside(mode, 1);
}

void ModuleScreen::scrollUp(int lines)
{
    lines = std::min(lines, m_rows);
    std::move(m_cells.begin() + lines * m_columns, m_cells.end(), m_cells.begin());
    std::fill(m_cells.end() - lines * m_columns, m_cells.end(), ModuleCell{});
}

void ModuleScreen::scrollLeft(int row, int height, int columns)
{
    for (int r = row; r < row + height; ++r) {
        auto begin = m_cells.begin() + r * m_columns;
        std::move(begin + columns, begin + m_columns, begin);
        std::fill(begin + m_columns - columns, begin + m_columns, ModuleCell{});
    }
}

void ModuleScreen::insertCharacter()
{
    const int x = m_cursor.x();
    if (x >= m_columns)
        return;
    auto begin = m_cells.begin() + m_cursor.y() * m_columns;
    std::move_backward(begin + x, begin + m_columns - 1, begin + m_columns);
    *(begin + x) = ModuleCell{};
}

void ModuleScreen::deleteCharacter()
{
    const int x = m_cursor.x();
    if (x >= m_columns)
        return;
    auto begin = m_cells.begin() + m_cursor.y() * m_columns;
    std::move(begin + x + 1, begin + m_columns, begin + x);
    *(begin + m_columns - 1) = ModuleCell{};
}

void ModuleScreen::insertLine()
{
    auto row = m_cells.begin() + m_cursor.y() * m_columns;
    std::move_backward(row, m_cells.end() - m_columns, m_cells.end());
    std::fill(row, row + m_columns, ModuleCell{});
}

void ModuleScreen::deleteLine()
{
    auto row = m_cells.begin() + m_cursor.y() * m_columns;
    std::move(row + m_columns, m_cells.end(), row);
    std::fill(m_cells.end() - m_columns, m_cells.end(), ModuleCell{});
}
