// Where controller windows and the notification pop-up go: free grid cells, the least hidden
// place when the grid is full, and places outside the visible area brought back into it.

#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace iomira {
namespace {

const QRect kArea(0, 0, 1280, 800);
const QSize kWindow(300, 250);
constexpr int kStep = 24;

bool overlapsAny(const QRect& r, const std::vector<QRect>& others) {
    for (const QRect& o : others)
        if (o.intersects(r)) return true;
    return false;
}

TEST(FreeCells, WindowsFillTheGridRowByRowWithoutOverlap) {
    std::vector<QRect> shown;
    // 1280 / 300 = 4 columns, 800 / 250 = 3 rows.
    for (int i = 0; i < 12; ++i) {
        const QRect r = firstFreeCell(kWindow, kArea, shown, kStep);
        EXPECT_EQ(r, QRect(QPoint((i % 4) * 300, (i / 4) * 250), kWindow)) << "window " << i;
        EXPECT_FALSE(overlapsAny(r, shown)) << "window " << i;
        EXPECT_TRUE(kArea.contains(r)) << "window " << i;
        shown.push_back(r);
    }
}

TEST(FreeCells, ACellTouchedByAShownWindowIsSkippedAndGapsAreFilledFirst) {
    // A window the user put across the first two cells, and one in the third.
    const std::vector<QRect> shown{QRect(150, 10, 300, 200), QRect(600, 0, 300, 250)};
    EXPECT_EQ(firstFreeCell(kWindow, kArea, shown, kStep), QRect(QPoint(900, 0), kWindow));
    // The area's origin counts (the work area need not start at 0, 0).
    const QRect offset(100, 50, 700, 600);
    EXPECT_EQ(firstFreeCell(kWindow, offset, {}, kStep), QRect(QPoint(100, 50), kWindow));
    EXPECT_EQ(firstFreeCell(kWindow, offset, {QRect(QPoint(100, 50), kWindow)}, kStep),
              QRect(QPoint(400, 50), kWindow));
}

TEST(FreeCells, WindowsOfDifferentSizesPackRowByRow) {
    // A tall window first: the short ones go beside it, then below the short ones.
    const std::vector<QRect> shown{QRect(0, 0, 400, 500)};
    EXPECT_EQ(firstFreeCell(QSize(400, 200), kArea, shown, kStep), QRect(400, 0, 400, 200));
    const std::vector<QRect> more{QRect(0, 0, 400, 500), QRect(400, 0, 400, 200),
                                  QRect(800, 0, 400, 200)};
    EXPECT_EQ(firstFreeCell(QSize(400, 200), kArea, more, kStep), QRect(400, 200, 400, 200));
    // Below the tall window once the row beside it is full.
    const std::vector<QRect> full{QRect(0, 0, 400, 500), QRect(400, 0, 880, 500)};
    EXPECT_EQ(firstFreeCell(QSize(400, 200), kArea, full, kStep), QRect(0, 500, 400, 200));
}

// The heads (title bar and status line) of the shown windows that `r` covers.
int headsCovered(const QRect& r, const std::vector<QRect>& shown) {
    int heads = 0;
    for (const QRect& o : shown)
        if (r.intersects(QRect(o.topLeft(), QSize(o.width(), 2 * kStep)))) ++heads;
    return heads;
}

TEST(FreeCells, AFullGridPutsTheNextWindowsWhereTheyHideTheFewestTitleBars) {
    std::vector<QRect> shown;
    for (int i = 0; i < 12; ++i)
        shown.push_back(firstFreeCell(kWindow, kArea, shown, kStep));
    // Below the third row there is room for the bodies of the third row only: no head is hidden.
    const QRect thirteenth = firstFreeCell(kWindow, kArea, shown, kStep);
    EXPECT_TRUE(kArea.contains(thirteenth));
    EXPECT_EQ(headsCovered(thirteenth, shown), 0) << thirteenth.x() << "," << thirteenth.y();
    shown.push_back(thirteenth);
    // However many follow, each stays inside and no two share a corner.
    for (int i = 0; i < 40; ++i) {
        const QRect r = firstFreeCell(kWindow, kArea, shown, kStep);
        EXPECT_TRUE(kArea.contains(r)) << "window " << i << " at " << r.x() << "," << r.y();
        for (const QRect& o : shown)
            EXPECT_NE(o.topLeft(), r.topLeft()) << "window " << i;
        shown.push_back(r);
    }
    // A window larger than the area has no cell; it goes to the area's corner.
    EXPECT_EQ(firstFreeCell(QSize(2000, 300), kArea, {}, kStep).topLeft(), QPoint(0, 0));
    EXPECT_EQ(firstFreeCell(QSize(2000, 900), QRect(10, 20, 1280, 800), shown, kStep).topLeft(),
              QPoint(10, 20));
}

TEST(IntoArea, PlacesOutsideTheAreaComeBackToTheNearestPlaceInside) {
    // A place stored on a larger screen or a monitor that is gone.
    EXPECT_EQ(moveIntoArea(QRect(5000, 5000, 300, 250), kArea), QRect(980, 550, 300, 250));
    EXPECT_EQ(moveIntoArea(QRect(-400, 100, 300, 250), kArea), QRect(0, 100, 300, 250));
    EXPECT_EQ(moveIntoArea(QRect(200, -30, 300, 250), kArea), QRect(200, 0, 300, 250));
    // Half off the right edge: only x changes.
    EXPECT_EQ(moveIntoArea(QRect(1100, 300, 300, 250), kArea), QRect(980, 300, 300, 250));
    // A window wholly inside keeps its place, also on the edges.
    EXPECT_EQ(moveIntoArea(QRect(980, 550, 300, 250), kArea), QRect(980, 550, 300, 250));
    EXPECT_EQ(moveIntoArea(QRect(0, 0, 300, 250), kArea), QRect(0, 0, 300, 250));
    // Wider than the area: its left edge (and title bar) at the area's left edge.
    EXPECT_EQ(moveIntoArea(QRect(5000, 5000, 1500, 900), kArea), QRect(0, 0, 1500, 900));
    EXPECT_EQ(moveIntoArea(QRect(5000, 200, 1500, 250), kArea), QRect(0, 200, 1500, 250));
}

TEST(IntoArea, ThePopUpFitsTheAvailablePartOfAScreenOf900Pixels) {
    // A 1440 x 900 screen whose panel takes the bottom 40 pixels.
    const QRect available(0, 0, 1440, 860);
    const QSize popUp(300, 250);
    // The computed place of the lower right corner, with the title bar's 20 pixels added.
    const QRect withTitle(1440 - 300, 900 - 250, 300, 270);
    const QRect fitted = fitIntoArea(withTitle, available);
    EXPECT_TRUE(available.contains(fitted));
    EXPECT_EQ(fitted, QRect(1140, 590, 300, 270));
    // A place stored on a larger screen.
    EXPECT_EQ(fitIntoArea(QRect(QPoint(2500, 1400), popUp), available),
              QRect(QPoint(1140, 610), popUp));
    // Larger than the screen: shrunk to it.
    EXPECT_EQ(fitIntoArea(QRect(-50, -50, 2000, 1000), available), available);
    // A screen that does not start at 0, 0 (a second monitor to the left).
    const QRect left(-1280, 0, 1280, 1024);
    EXPECT_EQ(fitIntoArea(QRect(QPoint(-10, 900), popUp), left), QRect(QPoint(-300, 774), popUp));
    EXPECT_EQ(fitIntoArea(QRect(QPoint(-1000, 100), popUp), left),
              QRect(QPoint(-1000, 100), popUp));
}

} // namespace
} // namespace iomira
