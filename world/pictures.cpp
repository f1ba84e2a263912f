// Hanging the 90 picture frames on the wall faces of the floor plan.
#include "shell/random.h"
#include "world/floor_plan.h"
#include "world/museum.h"

namespace {

constexpr float kFrameSize = kSlotSide;   // the longer side of a frame, world units
constexpr float kWallGap = 0.02f;      // frames float this far in front of the wall face
constexpr float kEyeLevel = -0.5f;     // frames are centred at eye height

// The face a slot took: the duplicate test compares these.
struct Face {
    int16_t column, row, side;
};

bool isOpen(int row, int column)
{
    return row >= 0 && row < kPlanRows && column >= 0 && column < kPlanColumns &&
           wallMap[planIndex(row, column)] == kOpenCell;
}

// A slot's width and height: 0.6 along the longer side of the picture.
void slotSize(float aspect, float* width, float* height)
{
    *width = *height = kFrameSize;
    if (aspect < 1.0f)
        *height = kFrameSize * aspect;
    else if (aspect > 1.0f)
        *width = kFrameSize / aspect;
}

// Draws wall blocks until one gives a face no earlier slot has taken.
Face chooseFace(const Face* taken, int takenCount)
{
    for (;;) {
        const int column = nextRandom() % kPlanColumns;
        const int row = nextRandom() % kPlanRows;
        if (wallMap[planIndex(row, column)] != kWallBlock) continue;

        int16_t sides[4];
        int sideCount = 0;
        if (isOpen(row - 1, column)) sides[sideCount++] = kSideTowardRowBefore;
        if (isOpen(row + 1, column)) sides[sideCount++] = kSideTowardRowAfter;
        if (isOpen(row, column + 1)) sides[sideCount++] = kSideTowardColumnAfter;
        if (isOpen(row, column - 1)) sides[sideCount++] = kSideTowardColumnBefore;
        // Every wall block of the plan borders an open cell; a block that did
        // not would only be redrawn.
        if (sideCount == 0) continue;
        const Face face{static_cast<int16_t>(column), static_cast<int16_t>(row),
                        sides[nextRandom() % sideCount]};

        bool duplicate = false;
        for (int i = 0; i < takenCount && !duplicate; ++i)
            duplicate = taken[i].column == face.column && taken[i].row == face.row &&
                        taken[i].side == face.side;
        if (!duplicate) return face;
    }
}

// Writes the four corners of slot s: 0 upper right, 1 upper left, 2 lower
// left, 3 lower right, as seen from the open cell in front of the face.
void placeCorners(Museum& museum, int slot, const Face& face, float width, float height)
{
    const float cx = face.column + 0.5f;
    const float cz = face.row + 0.5f;
    const float top = kEyeLevel - height * 0.5f;
    const float bottom = kEyeLevel + height * 0.5f;
    const float hw = width * 0.5f;
    float* x = museum.cornerX + slot * 4;
    float* y = museum.cornerY + slot * 4;
    float* z = museum.cornerZ + slot * 4;
    y[0] = top, y[1] = top, y[2] = bottom, y[3] = bottom;

    switch (face.side) {
    case kSideTowardRowBefore: {
        const float plane = face.row - kWallGap;
        x[0] = cx + hw, x[1] = cx - hw, x[2] = cx - hw, x[3] = cx + hw;
        z[0] = z[1] = z[2] = z[3] = plane;
        break;
    }
    case kSideTowardRowAfter: {
        const float plane = face.row + 1 + kWallGap;
        x[0] = cx - hw, x[1] = cx + hw, x[2] = cx + hw, x[3] = cx - hw;
        z[0] = z[1] = z[2] = z[3] = plane;
        break;
    }
    case kSideTowardColumnAfter: {
        const float plane = face.column + 1 + kWallGap;
        x[0] = x[1] = x[2] = x[3] = plane;
        z[0] = cz + hw, z[1] = cz - hw, z[2] = cz - hw, z[3] = cz + hw;
        break;
    }
    default: {  // kSideTowardColumnBefore
        const float plane = face.column - kWallGap;
        x[0] = x[1] = x[2] = x[3] = plane;
        z[0] = cz - hw, z[1] = cz + hw, z[2] = cz + hw, z[3] = cz - hw;
        break;
    }
    }
}

}  // namespace

void hangPictures(Museum& museum, const uint32_t* textureNames, const float* aspectRatios,
                  int pictureCount)
{
    // The list never holds more than the slots; a count beyond it (or below
    // zero) would read past the caller's arrays.
    if (pictureCount < 0) pictureCount = 0;
    if (pictureCount > kPictureSlots) pictureCount = kPictureSlots;
    museum.hungPictureCount = pictureCount;

    Face taken[kPictureSlots];
    int picture = 0;
    for (int slot = 0; slot < kPictureSlots; ++slot) {
        taken[slot] = chooseFace(taken, slot);

        float width = kFrameSize, height = kFrameSize;
        const float aspect = pictureCount > 0 ? aspectRatios[picture] : 1.0f;
        slotSize(aspect, &width, &height);
        placeCorners(museum, slot, taken[slot], width, height);
        museum.frameStyle[slot] = 0;
        museum.photoAspect[slot] = aspect;

        if (pictureCount > 0) {
            museum.pictureTexture[slot] = textureNames[picture];
            if (++picture == pictureCount) picture = 0;
        } else {
            museum.pictureTexture[slot] = 0;
        }
    }
}

float plaqueRoom(float aspectRatio)
{
    float width = kFrameSize, height = kFrameSize;
    slotSize(aspectRatio > 0.0f ? aspectRatio : 1.0f, &width, &height);
    return 0.5f - width * 0.5f - kPlaqueGap - kPlaqueEdgeRoom;
}

void rehangSlot(Museum& museum, int slot, uint32_t textureName, float aspectRatio, int frameStyle)
{
    if (slot < 0 || slot >= kPictureSlots) return;
    if (!(aspectRatio > 0.0f)) aspectRatio = 1.0f;
    float* x = museum.cornerX + slot * 4;
    float* y = museum.cornerY + slot * 4;
    float* z = museum.cornerZ + slot * 4;
    // The face's plane and centre stay; corner 0 lies to the right of corner 1.
    const float centreX = (x[0] + x[1]) * 0.5f, centreZ = (z[0] + z[1]) * 0.5f;
    const float dx = x[0] - x[1], dz = z[0] - z[1];
    const float rightX = dx > 0 ? 1.0f : dx < 0 ? -1.0f : 0.0f;
    const float rightZ = dz > 0 ? 1.0f : dz < 0 ? -1.0f : 0.0f;
    float width, height;
    slotSize(aspectRatio, &width, &height);
    const float hw = width * 0.5f;
    const float top = kEyeLevel - height * 0.5f, bottom = kEyeLevel + height * 0.5f;
    const float side[4] = {hw, -hw, -hw, hw};
    for (int i = 0; i < 4; ++i) {
        x[i] = centreX + rightX * side[i];
        z[i] = centreZ + rightZ * side[i];
        y[i] = i < 2 ? top : bottom;
    }
    museum.pictureTexture[slot] = textureName;
    museum.photoAspect[slot] = aspectRatio;
    museum.frameStyle[slot] = static_cast<uint8_t>(frameStyle < 0 || frameStyle > kFrameStyles ? 0 : frameStyle);
}
