#pragma once

class QWidget;

namespace FocusOrder {

// Makes Tab visit the focusable widgets under root as their layouts place
// them on screen: a row from left to right, a column from top to bottom, a
// grid row by row, into scroll areas and every page of a stack. Widgets
// outside any layout keep their place.
void followLayout(QWidget *root);

} // namespace FocusOrder
