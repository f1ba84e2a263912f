// The cells in sight from an eye point and the view's wedge, against sight
// lines checked one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "visibility/visibility.h"
#include "world/floor_plan.h"

namespace {

// Whether the segment from (ax, az) to (bx, bz) keeps clear of every wall
// block. A line that only touches a block's corner shows no more than a
// point beyond it, so the blocks are taken a hair larger than they are.
bool clearSegment(double ax, double az, double bx, double bz)
{
    const int c0 = static_cast<int>(std::floor(std::min(ax, bx))), c1 = static_cast<int>(std::floor(std::max(ax, bx)));
    const int r0 = static_cast<int>(std::floor(std::min(az, bz))), r1 = static_cast<int>(std::floor(std::max(az, bz)));
    for (int r = std::max(0, r0); r <= std::min(kPlanRows - 1, r1); ++r)
        for (int c = std::max(0, c0); c <= std::min(kPlanColumns - 1, c1); ++c) {
            if (wallMap[planIndex(r, c)] == kOpenCell) continue;
            // The part of the segment inside the open square, by clipping.
            double t0 = 0, t1 = 1;
            const double d[2] = {bx - ax, bz - az}, from[2] = {ax, az}, low[2] = {double(c), double(r)};
            bool inside = true;
            for (int k = 0; k < 2 && inside; ++k) {
                const double lo = low[k] - 1e-7, hi = low[k] + 1 + 1e-7;
                if (std::fabs(d[k]) < 1e-15) {
                    inside = from[k] > lo && from[k] < hi;
                    continue;
                }
                double ta = (lo - from[k]) / d[k], tb = (hi - from[k]) / d[k];
                if (ta > tb) std::swap(ta, tb);
                t0 = std::max(t0, ta);
                t1 = std::min(t1, tb);
                inside = t0 < t1;
            }
            if (inside) return false;
        }
    return true;
}

TEST(SightLines, EveryCellWithAPointInSightIsFoundAndNoCellBehindWalls)
{
    // Eyes where the walk goes: cell centres, points between them, and a
    // point on the line between two cells.
    const double eyes[][2] = {{4.5, 9.5}, {10.5, 3.5}, {8.5, 16.5}, {17.5, 12.0}, {2.5, 20.3}, {13.5, 5.5}};
    for (const auto& eye : eyes) {
        SCOPED_TRACE(testing::Message() << "eye " << eye[0] << ", " << eye[1]);
        VisibleCells cells;
        findSightedCells(eye[0], eye[1], 0.42, cells);
        ASSERT_FALSE(cells.everything);
        int seen = 0, missed = 0;
        for (int r = 0; r < kPlanRows; ++r)
            for (int c = 0; c < kPlanColumns; ++c) {
                const int i = planIndex(r, c);
                if (wallMap[i] != kOpenCell) {
                    EXPECT_EQ(cells.seen[i], 0) << "a wall block has nothing of its own to show";
                    continue;
                }
                // A 12 x 12 grid of points over the square.
                bool inSight = false;
                for (int k = 0; k < 144 && !inSight; ++k)
                    inSight = clearSegment(eye[0], eye[1], c + (k % 12 + 0.5) / 12, r + (k / 12 + 0.5) / 12);
                if (inSight) {
                    EXPECT_EQ(cells.seen[i], 1) << "cell row " << r << ", column " << c << " is in sight";
                }
                seen += cells.seen[i];
                missed += !cells.seen[i];
            }
        EXPECT_GT(missed, 100) << "walls hide most of the museum";
        EXPECT_GT(seen, 3);
    }
    // An eye in a wall block or off the plan sees everything, and so does
    // one that the near plane could take through a wall block close by.
    VisibleCells cells;
    findSightedCells(11.5, 3.91, 0.42, cells);
    EXPECT_TRUE(cells.everything);
    findSightedCells(0.5, 0.5, 0.42, cells);
    EXPECT_TRUE(cells.everything);
    findSightedCells(-3, 40, 0.42, cells);
    EXPECT_TRUE(cells.everything);
}

TEST(SightLines, TheViewKeepsWhatItsWedgeAndDepthReachNearestFirst)
{
    // A long corridor along column 4 (rows 7 to 11 and beyond), looking
    // towards -z from its lower end.
    VisibleCells cells;
    findSightedCells(4.5, 11.5, 0.42, cells);
    ASSERT_EQ(cells.seen[planIndex(7, 4)], 1);
    ASSERT_EQ(cells.seen[planIndex(11, 6)], 1);
    const ViewWedge view = {4.5, 11.5, 0, -1, horizontalHalfAngle(84, 4.0 / 3.0), 12};
    keepCellsInView(view, cells);
    EXPECT_EQ(cells.seen[planIndex(7, 4)], 1) << "straight ahead";
    EXPECT_EQ(cells.seen[planIndex(11, 4)], 1) << "the eye's own cell";
    EXPECT_EQ(cells.seen[planIndex(11, 6)], 0) << "behind the eye's side plane";
    for (int k = 1; k < cells.count; ++k) {
        auto distance = [](int i) {
            const double dx = i % kPlanColumns + 0.5 - 4.5, dz = i / kPlanColumns + 0.5 - 11.5;
            return dx * dx + dz * dz;
        };
        EXPECT_LE(distance(cells.nearestFirst[k - 1]), distance(cells.nearestFirst[k]));
    }
    EXPECT_NEAR(horizontalHalfAngle(84, 16.0 / 9.0), 58.0, 0.05);
}

} // namespace
