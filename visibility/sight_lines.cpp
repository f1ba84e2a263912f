// Sight lines across the plan from one eye point, and the view's wedge.
//
// The cells a line from the eye crosses change only where the line sweeps
// over a corner of the grid. Between two neighbouring corners (in the order
// of their directions from the eye) every line crosses the same cells in the
// same order, so one line through the middle of each such fan tells for the
// whole fan which cells it reaches before a wall block. A few hundred lines,
// one per fan, find every cell with a point in sight, and nothing more.
#include "visibility/visibility.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Directions closer than this are one: such a fan holds no line worth a pixel.
constexpr double kSameDirection = 1e-12;
// A line passing this close to a grid corner is taken to touch both cells
// beside the corner, whichever side rounding would put it on.
constexpr double kCornerSlack = 1e-9;
// Room left around the view's wedge: lines at its very edge still count.
constexpr double kSpareDegrees = 0.5;
constexpr double kSpareDistance = 0.1;

int cullingSwitch = 1;

bool openCell(int row, int column)
{
    return row >= 0 && row < kPlanRows && column >= 0 && column < kPlanColumns &&
           wallMap[planIndex(row, column)] == kOpenCell;
}

void see(VisibleCells& cells, int row, int column)
{
    cells.seen[planIndex(row, column)] = 1;
}

// Walks the line from the eye in direction (dx, dz) cell by cell, marking
// the open cells it crosses, until it enters a wall block or leaves the plan.
void followSightLine(double eyeX, double eyeZ, double dx, double dz, VisibleCells& cells)
{
    int column = static_cast<int>(std::floor(eyeX)), row = static_cast<int>(std::floor(eyeZ));
    const int stepColumn = dx > 0 ? 1 : -1, stepRow = dz > 0 ? 1 : -1;
    const double never = 1e300;
    // Distances along the line to the next column and row boundary, and between boundaries.
    const double deltaColumn = dx != 0 ? std::fabs(1.0 / dx) : never;
    const double deltaRow = dz != 0 ? std::fabs(1.0 / dz) : never;
    double nextColumn = dx > 0 ? (column + 1 - eyeX) / dx : dx < 0 ? (column - eyeX) / dx : never;
    double nextRow = dz > 0 ? (row + 1 - eyeZ) / dz : dz < 0 ? (row - eyeZ) / dz : never;
    see(cells, row, column);
    for (;;) {
        if (std::fabs(nextColumn - nextRow) <= kCornerSlack * std::max(1.0, nextColumn)) {
            // Through a corner: the line touches both cells beside it and goes
            // on diagonally unless both are blocks.
            const bool besideColumn = openCell(row, column + stepColumn);
            const bool besideRow = openCell(row + stepRow, column);
            if (besideColumn) see(cells, row, column + stepColumn);
            if (besideRow) see(cells, row + stepRow, column);
            if (!besideColumn && !besideRow) return;
            column += stepColumn;
            row += stepRow;
            nextColumn += deltaColumn;
            nextRow += deltaRow;
        } else if (nextColumn < nextRow) {
            column += stepColumn;
            nextColumn += deltaColumn;
        } else {
            row += stepRow;
            nextRow += deltaRow;
        }
        if (!openCell(row, column)) return;
        see(cells, row, column);
    }
}

void seeEverything(VisibleCells& cells)
{
    cells.everything = true;
    cells.count = 0;
    for (int i = 0; i < kPlanCells; ++i) {
        cells.seen[i] = 1;
        cells.nearestFirst[cells.count++] = static_cast<int16_t>(i);
    }
}

// Whether a wall block lies within reach of the eye (a block farther than
// one cell away is farther than any reach asked for here).
bool blockWithin(double eyeX, double eyeZ, double reach)
{
    const int row = static_cast<int>(eyeZ), column = static_cast<int>(eyeX);
    const int cells = static_cast<int>(std::ceil(reach));
    for (int r = row - cells; r <= row + cells; ++r)
        for (int c = column - cells; c <= column + cells; ++c) {
            if (openCell(r, c)) continue;
            const double dx = std::max({c - eyeX, 0.0, eyeX - (c + 1)});
            const double dz = std::max({r - eyeZ, 0.0, eyeZ - (r + 1)});
            if (dx * dx + dz * dz < reach * reach) return true;
        }
    return false;
}

} // namespace

void findSightedCells(double eyeX, double eyeZ, double nearReach, VisibleCells& cells)
{
    if (!(eyeX >= 0 && eyeZ >= 0) || !openCell(static_cast<int>(eyeZ), static_cast<int>(eyeX)) ||
        blockWithin(eyeX, eyeZ, nearReach)) {
        seeEverything(cells);
        return;
    }
    cells.everything = false;
    cells.count = 0;
    std::fill(std::begin(cells.seen), std::end(cells.seen), 0);

    // The directions of every grid corner, in order round the eye.
    std::vector<double> directions;
    directions.reserve((kPlanRows + 1) * (kPlanColumns + 1));
    for (int z = 0; z <= kPlanRows; ++z)
        for (int x = 0; x <= kPlanColumns; ++x) {
            const double dx = x - eyeX, dz = z - eyeZ;
            if (dx * dx + dz * dz > 1e-18) directions.push_back(std::atan2(dz, dx));
        }
    std::sort(directions.begin(), directions.end());
    const size_t count = directions.size();
    for (size_t i = 0; i < count; ++i) {
        const double from = directions[i];
        const double to = i + 1 < count ? directions[i + 1] : directions[0] + 2 * kPi;
        if (to - from <= kSameDirection) continue;
        const double middle = (from + to) * 0.5;
        followSightLine(eyeX, eyeZ, std::cos(middle), std::sin(middle), cells);
    }
}

double horizontalHalfAngle(double fovY, double aspect)
{
    return std::atan(std::tan(fovY * 0.5 * kPi / 180.0) * aspect) * 180.0 / kPi;
}

void keepCellsInView(const ViewWedge& view, VisibleCells& cells)
{
    if (cells.everything) return;
    const double length = std::sqrt(view.aheadX * view.aheadX + view.aheadZ * view.aheadZ);
    const double half = (view.halfAngle + kSpareDegrees) * kPi / 180.0;
    const bool wedge = length > 0 && half < kPi * 0.5;
    const double fx = wedge ? view.aheadX / length : 0, fz = wedge ? view.aheadZ / length : 0;
    const double cosHalf = std::cos(half), sinHalf = std::sin(half);
    const double far = view.farDistance + kSpareDistance;

    struct Entry {
        double distance;
        int16_t index;
    };
    Entry entries[kPlanCells];
    int kept = 0;
    for (int i = 0; i < kPlanCells; ++i) {
        if (!cells.seen[i]) continue;
        const int row = i / kPlanColumns, column = i % kPlanColumns;
        if (wedge) {
            // Outside when all four corners lie beyond the same side plane or the far plane.
            bool left = true, right = true, beyond = true;
            for (int k = 0; k < 4; ++k) {
                const double px = column + (k & 1) - view.eyeX, pz = row + (k >> 1) - view.eyeZ;
                const double ahead = px * fx + pz * fz, aside = px * fz - pz * fx;
                right = right && aside * cosHalf - ahead * sinHalf > 0;
                left = left && -aside * cosHalf - ahead * sinHalf > 0;
                beyond = beyond && ahead > far;
            }
            if (left || right || beyond) {
                cells.seen[i] = 0;
                continue;
            }
        }
        const double cx = column + 0.5 - view.eyeX, cz = row + 0.5 - view.eyeZ;
        entries[kept++] = {cx * cx + cz * cz, static_cast<int16_t>(i)};
    }
    // Equally near cells keep the plan's order, so any two sets list the cells they share alike.
    std::sort(entries, entries + kept, [](const Entry& a, const Entry& b) {
        return a.distance < b.distance || (a.distance == b.distance && a.index < b.index);
    });
    cells.count = kept;
    for (int i = 0; i < kept; ++i) cells.nearestFirst[i] = entries[i].index;
}

void setCulling(int on)
{
    cullingSwitch = on ? 1 : 0;
}

int cullingOn()
{
    return cullingSwitch;
}
