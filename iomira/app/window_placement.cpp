#include "app/window_placement.h"

#include <algorithm>

namespace iomira {

namespace {

bool overlapsAny(const QRect& cell, const std::vector<QRect>& shown) {
    return std::any_of(shown.begin(), shown.end(),
                       [&](const QRect& r) { return r.isValid() && r.intersects(cell); });
}

// What a window placed at `place` would hide of the shown ones: whether it would lie exactly
// on one of them, how many of their heads (the title bar and the status line under it, `head`
// pixels) it covers, then how much of them.
struct Hidden {
    int sameCorners = 0;
    int heads = 0;
    long long area = 0;
    bool operator<(const Hidden& o) const {
        if (sameCorners != o.sameCorners) return sameCorners < o.sameCorners;
        return heads != o.heads ? heads < o.heads : area < o.area;
    }
};

Hidden hiddenBy(const QRect& place, const std::vector<QRect>& shown, int head) {
    Hidden hidden;
    for (const QRect& r : shown) {
        if (!r.isValid()) continue;
        const QRect covered = place.intersected(r);
        if (covered.isEmpty()) continue;
        if (r.topLeft() == place.topLeft()) ++hidden.sameCorners;
        if (place.intersects(QRect(r.topLeft(), QSize(r.width(), std::min(head, r.height())))))
            ++hidden.heads;
        hidden.area += static_cast<long long>(covered.width()) * covered.height();
    }
    return hidden;
}

// The offsets of a window's edge in steps of `step` across `room` pixels, and the last one
// flush with the far edge.
std::vector<int> stepsAcross(int low, int room, int step) {
    std::vector<int> offsets;
    for (int offset = 0; offset < room; offset += step)
        offsets.push_back(low + offset);
    offsets.push_back(low + std::max(room, 0));
    return offsets;
}

// When no cell is free: the place, in steps of a title bar's height, where the window hides
// the fewest title bars and status lines of the shown windows, then the least of them; the
// first such place row by row.
QRect leastHidden(const QSize& window, const QRect& area, const std::vector<QRect>& shown,
                  int step) {
    const int pitch = std::max(step, 8);
    const int head = 2 * pitch;
    QRect best = moveIntoArea(QRect(area.topLeft(), window), area);
    Hidden bestHidden = hiddenBy(best, shown, head);
    for (int y : stepsAcross(area.top(), area.height() - window.height(), pitch)) {
        for (int x : stepsAcross(area.left(), area.width() - window.width(), pitch)) {
            const QRect place = moveIntoArea(QRect(QPoint(x, y), window), area);
            const Hidden hidden = hiddenBy(place, shown, head);
            if (hidden < bestHidden) {
                best = place;
                bestHidden = hidden;
            }
        }
    }
    return best;
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
    return leastHidden(window, area, shown, step);
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
