// The museum's one fixed floor plan (25 rows x 21 columns of unit cells) and
// the exhibits placed on it at start-up.
//
// Coordinates: one world unit per cell; cell (row r, column c) spans x c..c+1
// and z r..r+1. Every table is indexed row * 21 + column.
#pragma once

#include <array>
#include <cstdint>

// ---- Size of the plan ---------------------------------------------------------

constexpr int kPlanRows = 25;
constexpr int kPlanColumns = 21;
constexpr int kPlanCells = kPlanRows * kPlanColumns;  // 525

using PlanTable = std::array<uint8_t, kPlanCells>;

// Index of cell (row, column) in every table.
constexpr int planIndex(int row, int column) { return row * kPlanColumns + column; }

// ---- Cell values ----------------------------------------------------------------

constexpr uint8_t kOpenCell = 0;     // wallMap: an open cell (floor, ceiling, air)
constexpr uint8_t kWallBlock = 1;    // wallMap: a wall block, drawn with the theme's wall texture
constexpr uint8_t kSolidFill = 255;  // wallMap: solid fill outside the building, never drawn
constexpr uint8_t kFreeCell = 1;     // walkMap: a free aisle cell; anything else blocks the camera

// What placeObjects writes into walkMap.
enum ObjectKind : uint8_t {
    kCubePond = 2,
    kBench = 3,      // the "Furniture" setting
    kShowcase = 4,
    kSculpture = 5,
};

// ---- The tables (plain data, floor_plan_tables.cpp) -----------------------------

// Wall blocks and open cells. Fixed.
extern const PlanTable wallMap;
// Floor kind per open cell: 0 none, 1 or 2 = the theme's floor texture 1 or 2. Fixed.
extern const PlanTable floorMap;
// Ceiling kind per open cell: 0 none, 1 = the theme's ceiling texture. Fixed.
extern const PlanTable ceilingMap;
// The walk map as the program stores it: 1 over every open cell, 0 elsewhere.
extern const PlanTable storedWalkMap;

// The working walk map: free aisle cells (1) and the placed exhibits (ObjectKind).
// Owned by the world; starts as storedWalkMap, placeObjects writes into it
// once per run, the camera and the exhibit drawing read it.
extern PlanTable walkMap;

// ---- Operations -------------------------------------------------------------------

// Puts walkMap back to its stored values (tests; a run places objects only once).
void resetWalkMap();
// Number of walkMap cells that are free together with their four neighbours,
// the cells an exhibit may take (70 on the stored plan).
int countEligibleCells();
// Places up to 30 exhibits of the enabled kinds (settings cubePonds, furniture,
// showcases, sculptures; 1 = enabled) on eligible cells of walkMap, drawing
// from nextRandom. Stops early, keeping what it placed, when no eligible cell
// is left. Returns the number placed.
int placeObjects();
