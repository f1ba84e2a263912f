// The walking camera: its start, its steps through the aisles and its turns.
#include <cmath>
#include <cstring>
#include <new>

#include "shell/random.h"
#include "world/floor_plan.h"
#include "world/museum.h"

namespace {

constexpr float kEyeHeight = -0.5f;
constexpr int kTurnIncrement = 15;   // turnProgress per step: six steps per turn
constexpr float kCornerTurn = 15.0f; // degrees per step round a corner (90 in six steps)
constexpr float kTurnBack = 30.0f;   // degrees per step when turning back (180 in six steps)

// Cells outside the plan block the walk like any wall.
bool isFree(int row, int column)
{
    if (row < 0 || row >= kPlanRows || column < 0 || column >= kPlanColumns) return false;
    return walkMap[planIndex(row, column)] == kFreeCell;
}

bool hasWayOut(int row, int column)
{
    return isFree(row - 1, column) || isFree(row + 1, column) || isFree(row, column + 1) ||
           isFree(row, column - 1);
}

// The heading that looks along a direction of travel (degrees).
float headingOf(int dirX, int dirZ)
{
    if (dirZ < 0) return 0.0f;
    if (dirX < 0) return 90.0f;
    if (dirZ > 0) return 180.0f;
    return 270.0f;
}

// Starts a corner turn towards the new direction; the view swings the short
// way round, so the sign of the step follows from the two headings.
void turnTo(Camera& camera, int dirX, int dirZ)
{
    float delta = headingOf(dirX, dirZ) - headingOf(camera.dirX, camera.dirZ);
    if (delta < 0.0f) delta += 360.0f;
    camera.turnStep = delta == 90.0f ? kCornerTurn : -kCornerTurn;
    camera.turnProgress = 0;
    camera.dirX = static_cast<int16_t>(dirX);
    camera.dirZ = static_cast<int16_t>(dirZ);
}

// The side the random draw picks: -z or +x for 1, +z or -x for 0.
void turnToRandomSide(Camera& camera)
{
    const bool first = nextRandom() % 2 == 1;
    if (camera.dirZ == 0)
        turnTo(camera, 0, first ? -1 : 1);
    else
        turnTo(camera, first ? 1 : -1, 0);
}

// The decision at a cell centre: go on, turn a corner or turn back.
void decide(Camera& camera)
{
    const int column = static_cast<int>(camera.eye[0]);
    const int row = static_cast<int>(camera.eye[2]);
    const bool blockedMinusZ = !isFree(row - 1, column);
    const bool blockedPlusZ = !isFree(row + 1, column);
    const bool blockedPlusX = !isFree(row, column + 1);
    const bool blockedMinusX = !isFree(row, column - 1);

    const bool aheadBlocked = !isFree(row + camera.dirZ, column + camera.dirX);
    const bool behindBlocked = !isFree(row - camera.dirZ, column - camera.dirX);

    // The cell behind counts too: a dead end is any cell with at most one way out.
    const int blocked = blockedMinusZ + blockedPlusZ + blockedPlusX + blockedMinusX;
    if (blocked == 3 && behindBlocked) {
        // Only on its start cell can the camera face away from the way it
        // came; turning back there would walk it into a wall or an exhibit,
        // so it takes the one way out instead.
        if (!aheadBlocked) return;
        if (camera.dirZ == 0)
            turnTo(camera, 0, blockedMinusZ ? 1 : -1);
        else
            turnTo(camera, blockedPlusX ? -1 : 1, 0);
        return;
    }
    if (blocked >= 3) {
        camera.turnProgress = 0;
        if (camera.dirZ == 0)
            camera.dirX = static_cast<int16_t>(-camera.dirX);
        else
            camera.dirZ = static_cast<int16_t>(-camera.dirZ);
        camera.turnStep = nextRandom() % 2 == 1 ? -kTurnBack : kTurnBack;
        return;
    }

    // The two sides across the direction of travel, each with its direction.
    int sideX[2], sideZ[2];
    bool sideOpen[2];
    if (camera.dirZ == 0) {
        sideX[0] = 0, sideZ[0] = -1, sideOpen[0] = !blockedMinusZ;
        sideX[1] = 0, sideZ[1] = 1, sideOpen[1] = !blockedPlusZ;
    } else {
        sideX[0] = 1, sideZ[0] = 0, sideOpen[0] = !blockedPlusX;
        sideX[1] = -1, sideZ[1] = 0, sideOpen[1] = !blockedMinusX;
    }
    const int openSides = sideOpen[0] + sideOpen[1];
    if (openSides == 0) return;  // a corridor: go on
    if (!aheadBlocked && nextRandom() % 10 != 0) return;
    if (openSides == 2)
        turnToRandomSide(camera);
    else if (sideOpen[0])
        turnTo(camera, sideX[0], sideZ[0]);
    else
        turnTo(camera, sideX[1], sideZ[1]);
}

}  // namespace

void constructMuseum(Museum& museum)
{
    std::memset(&museum, 0, sizeof museum);
    Camera& camera = museum.camera;
    camera.floorHeight = 0.0f;
    camera.ceilingHeight = -1.0f;
    camera.lookDistance = -100.0f;
    camera.heading = 0.0f;
    camera.turnProgress = kNotTurning;
    camera.turnStep = 0.0f;

    int column, row;
    do {
        column = nextRandom() % kPlanColumns;
        row = nextRandom() % kPlanRows;
    } while (walkMap[planIndex(row, column)] != kFreeCell);
    camera.eye[0] = static_cast<float>(column) + 0.5f;
    camera.eye[1] = kEyeHeight;
    camera.eye[2] = static_cast<float>(row) + 0.5f;
    updateLookTarget(museum, 0.0f);

    camera.walkStep = 0.1f;
    camera.dirX = 0;
    camera.dirZ = -1;
}

Museum* newMuseum()
{
    Museum* museum = new (std::nothrow) Museum;
    if (museum != nullptr) constructMuseum(*museum);
    return museum;
}

void setWalkStep(Museum& museum, float step)
{
    museum.camera.walkStep = step;
}

void stepCamera(Museum& museum)
{
    Camera& camera = museum.camera;

    // Decisions fall only near a cell centre, and never during a turn.
    const float fx = camera.eye[0] - std::trunc(camera.eye[0]);
    const float fz = camera.eye[2] - std::trunc(camera.eye[2]);
    if (fx > 0.45f && fx < 0.55f && fz > 0.45f && fz < 0.55f && camera.turnProgress == kNotTurning)
        decide(camera);

    // The camera walks the new way at once; the view catches up over the turn.
    // A start cell walled in by exhibits has no way out: there the camera
    // stands and only looks around.
    if (hasWayOut(static_cast<int>(camera.eye[2]), static_cast<int>(camera.eye[0]))) {
        camera.eye[0] += camera.walkStep * camera.dirX;
        camera.eye[2] += camera.walkStep * camera.dirZ;
    }

    if (camera.turnProgress == kNotTurning) {
        camera.turnStep = 0.0f;
        return;
    }
    camera.turnProgress += kTurnIncrement;
    camera.heading += camera.turnStep;
    if (camera.heading >= 360.0f)
        camera.heading -= 360.0f;
    else if (camera.heading < 0.0f)
        camera.heading += 360.0f;
    updateLookTarget(museum, camera.heading);
}

void updateLookTarget(Museum& museum, float heading)
{
    Camera& camera = museum.camera;
    const float radians = heading * 3.14f * (1.0f / 180.0f);
    camera.lookTarget[0] = camera.eye[0] + camera.lookDistance * std::sin(radians);
    camera.lookTarget[1] = camera.eye[1];
    camera.lookTarget[2] = camera.eye[2] + camera.lookDistance * std::cos(radians);
}

void getEye(const Museum& museum, float* x, float* y, float* z)
{
    *x = museum.camera.eye[0];
    *y = museum.camera.eye[1];
    *z = museum.camera.eye[2];
}

void getLookTarget(const Museum& museum, float* x, float* y, float* z)
{
    *x = museum.camera.lookTarget[0];
    *y = museum.camera.lookTarget[1];
    *z = museum.camera.lookTarget[2];
}
