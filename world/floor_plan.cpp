// The working walk map and the placement of the exhibits.
#include "world/floor_plan.h"

#include "settings/settings.h"
#include "shell/random.h"

namespace {

constexpr int kObjectsToPlace = 30;

// A cell may take an exhibit when it and its four neighbours are free aisle
// cells: then no exhibit touches a wall block or another exhibit.
bool isEligible(int row, int column)
{
    if (walkMap[planIndex(row, column)] != kFreeCell) return false;
    return row > 0 && walkMap[planIndex(row - 1, column)] == kFreeCell &&
           row < kPlanRows - 1 && walkMap[planIndex(row + 1, column)] == kFreeCell &&
           column < kPlanColumns - 1 && walkMap[planIndex(row, column + 1)] == kFreeCell &&
           column > 0 && walkMap[planIndex(row, column - 1)] == kFreeCell;
}

}  // namespace

void resetWalkMap()
{
    walkMap = storedWalkMap;
}

int countEligibleCells()
{
    int count = 0;
    for (int row = 0; row < kPlanRows; ++row)
        for (int column = 0; column < kPlanColumns; ++column)
            if (isEligible(row, column)) ++count;
    return count;
}

int placeObjects()
{
    uint8_t kinds[4];
    int kindCount = 0;
    if (settings.cubePonds == 1) kinds[kindCount++] = kCubePond;
    if (settings.furniture == 1) kinds[kindCount++] = kBench;
    if (settings.showcases == 1) kinds[kindCount++] = kShowcase;
    if (settings.sculptures == 1) kinds[kindCount++] = kSculpture;
    if (kindCount == 0) return 0;

    for (int placed = 0; placed < kObjectsToPlace; ++placed) {
        // Each exhibit makes its neighbours ineligible, so some orders use up
        // the eligible cells early; redrawing would then never end.
        if (countEligibleCells() == 0) return placed;
        int column, row;
        do {
            column = nextRandom() % kPlanColumns;
            row = nextRandom() % kPlanRows;
        } while (!isEligible(row, column));
        walkMap[planIndex(row, column)] = kinds[nextRandom() % kindCount];
    }
    return kObjectsToPlace;
}
