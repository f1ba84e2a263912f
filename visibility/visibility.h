// What the walk can see from where it stands: the cells of the floor plan
// that a sight line from the eye reaches before it meets a wall block, and of
// those the ones inside the view's width and depth. A frame sends only these
// cells' floors, ceilings, wall faces, pictures and exhibits; nothing it
// leaves out could have shown a pixel.
//
// Why it holds: the wall blocks reach from the floor to the ceiling and the
// eye is between the two, so a wall block that hides a point on the plan hides
// everything above and below it too; and whatever a cell holds (its floor and
// ceiling squares, the wall faces around it, the pictures and frames on those
// faces, its exhibit) lies inside the cell's square.
//
// World units as in the plan: x along the columns, z along the rows.
#pragma once

#include <cstdint>

#include "world/floor_plan.h"

// ---- The set of cells a frame sends -----------------------------------------------

struct VisibleCells {
    bool everything = true;             // no culling: every cell is sent
    uint8_t seen[kPlanCells] = {};      // 1 when the cell is sent (plan index)
    int16_t nearestFirst[kPlanCells] = {};  // the sent cells, nearest to the eye first
    int count = 0;                      // entries of nearestFirst
};

// Whether the frame sends the cell at plan index i.
inline bool cellSent(const VisibleCells& cells, int i)
{
    return cells.everything || cells.seen[i] != 0;
}

// ---- Finding them (sight_lines.cpp) ------------------------------------------------------

// Every open cell that some sight line from the eye point (eyeX, eyeZ)
// reaches before a wall block, exactly: a cell counts when any part of its
// square is in sight. A view's near plane cuts away what lies closer to the
// eye than it, walls included: with a wall block nearer than nearReach (the
// farthest the near plane reaches from the eye), or the eye outside the open
// cells, everything counts as seen (the set says so). The walk keeps half a
// cell from every wall block.
void findSightedCells(double eyeX, double eyeZ, double nearReach, VisibleCells& cells);

// The view: the eye, the direction looked in (need not be of unit length),
// half the horizontal angle of view (degrees) and the far plane's distance.
struct ViewWedge {
    double eyeX, eyeZ;
    double aheadX, aheadZ;
    double halfAngle;
    double farDistance;
};
// Drops from the set the cells wholly outside the view's width or beyond its
// far plane (with a little to spare), and lists the rest nearest first.
void keepCellsInView(const ViewWedge& view, VisibleCells& cells);
// Half the horizontal angle of a view of vertical angle fovY (degrees) and
// aspect ratio width / height.
double horizontalHalfAngle(double fovY, double aspect);

// ---- A switch for measuring ------------------------------------------------------

// 1 (the default) sends only what can be seen; 0 sends everything, for the
// benchmark's and the tests' comparisons.
void setCulling(int on);
int cullingOn();
