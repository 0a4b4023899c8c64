#pragma once

#include <QRect>

#include <vector>

namespace iomira {

// Where a window without a stored place opens inside `area`: the first cell, row by row, of
// a grid of cells of the window's size (as many columns as fit) that no rectangle of
// `shown` overlaps. Cells right of and below the shown windows count too, so that windows
// of different sizes pack as closely as windows of one size. When no cell is free, the place
// inside the area (in steps of `step`, a title bar's height) that hides the fewest title bars
// and status lines of the shown windows, then the least of them.
QRect firstFreeCell(const QSize& window, const QRect& area, const std::vector<QRect>& shown,
                    int step);

// The nearest place of `window` that lies wholly inside `area`; a window larger than the area
// keeps its left or top edge (the title bar) at the area's edge. A window already inside
// stays where it is.
QRect moveIntoArea(const QRect& window, const QRect& area);

// As moveIntoArea, after shrinking a window larger than the area to the area's size: the
// whole window is inside afterwards.
QRect fitIntoArea(const QRect& window, const QRect& area);

} // namespace iomira
