#include "app/window_placement.h"

#include <algorithm>

namespace iomira {

namespace {

bool overlapsAny(const QRect& cell, const std::vector<QRect>& shown) {
    return std::any_of(shown.begin(), shown.end(),
                       [&](const QRect& r) { return r.isValid() && r.intersects(cell); });
}

// A place of a cascade from the area's top left corner, `step` pixels apart, wrapping round
// before the window would leave the area: the k-th one, or the next whose corner no shown
// window has (a window there would hide the other's title bar).
QRect cascade(const QSize& window, const QRect& area, const std::vector<QRect>& shown, int step) {
    const int room = std::min(area.width() - window.width(), area.height() - window.height());
    const int places = step > 0 && room > 0 ? room / step + 1 : 1;
    const auto placeAt = [&](int k) {
        const int offset = (k % places) * std::max(step, 0);
        return moveIntoArea(QRect(area.topLeft() + QPoint(offset, offset), window), area);
    };
    const int first = int(shown.size());
    for (int k = first; k < first + places; ++k) {
        const QRect place = placeAt(k);
        if (std::none_of(shown.begin(), shown.end(),
                         [&](const QRect& r) { return r.topLeft() == place.topLeft(); }))
            return place;
    }
    return placeAt(first);
}

// The position of a span of `length` nearest to `start` inside [low, low + room); a span
// longer than the room starts at `low`.
int clampSpan(int start, int length, int low, int room) {
    if (length >= room) return low;
    return std::clamp(start, low, low + room - length);
}

// The corners a window may take, row by row and left to right: those of the grid of cells of
// its size, and those right of and below each shown window, so that windows of other sizes
// leave no gaps the grid would not fill.
std::vector<QPoint> candidateCorners(const QSize& window, const QRect& area,
                                     const std::vector<QRect>& shown) {
    std::vector<int> xs, ys;
    for (int x = area.left(); x + window.width() <= area.left() + area.width(); x += window.width())
        xs.push_back(x);
    for (int y = area.top(); y + window.height() <= area.top() + area.height();
         y += window.height())
        ys.push_back(y);
    for (const QRect& r : shown) {
        if (!r.isValid()) continue;
        xs.push_back(r.left() + r.width());
        ys.push_back(r.top() + r.height());
    }
    for (std::vector<int>* values : {&xs, &ys}) {
        std::sort(values->begin(), values->end());
        values->erase(std::unique(values->begin(), values->end()), values->end());
    }
    std::vector<QPoint> corners;
    for (int y : ys)
        for (int x : xs)
            corners.emplace_back(x, y);
    return corners;
}

} // namespace

QRect firstFreeCell(const QSize& window, const QRect& area, const std::vector<QRect>& shown,
                    int step) {
    if (window.width() > 0 && window.height() > 0) {
        for (const QPoint& corner : candidateCorners(window, area, shown)) {
            const QRect cell(corner, window);
            if (area.contains(cell) && !overlapsAny(cell, shown)) return cell;
        }
    }
    return cascade(window, area, shown, step);
}

QRect moveIntoArea(const QRect& window, const QRect& area) {
    const int x = clampSpan(window.x(), window.width(), area.x(), area.width());
    const int y = clampSpan(window.y(), window.height(), area.y(), area.height());
    return QRect(QPoint(x, y), window.size());
}

QRect fitIntoArea(const QRect& window, const QRect& area) {
    const QSize size(std::min(window.width(), area.width()),
                     std::min(window.height(), area.height()));
    return moveIntoArea(QRect(window.topLeft(), size), area);
}

} // namespace iomira
