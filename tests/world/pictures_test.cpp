// Hanging the 90 pictures on the wall faces.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "shell/random.h"
#include "world/floor_plan.h"
#include "world/museum.h"

namespace {

struct SlotFace {
    int row, column, side;
    bool operator<(const SlotFace& other) const
    {
        return std::tie(row, column, side) < std::tie(other.row, other.column, other.side);
    }
};

bool isOpen(int row, int column)
{
    return row >= 0 && row < kPlanRows && column >= 0 && column < kPlanColumns &&
           wallMap[planIndex(row, column)] == kOpenCell;
}

// Recovers the wall face a slot hangs on from its corners, checking on the
// way that the quad stands upright, flat, 0.02 in front of an open side.
SlotFace faceOf(const Museum& museum, int slot)
{
    const float* x = museum.cornerX + slot * 4;
    const float* z = museum.cornerZ + slot * 4;
    SlotFace face{-1, -1, 0};
    if (x[0] == x[1] && x[1] == x[2] && x[2] == x[3]) {
        // A plane x = const: 0.02 beyond the block's +x or -x face.
        const float plane = x[0];
        const float left = std::floor(plane), gap = plane - left;
        face.row = static_cast<int>(std::floor((z[0] + z[1]) * 0.5f));
        if (std::fabs(gap - 0.02f) < 1e-4f) {
            face.column = static_cast<int>(left) - 1;
            face.side = kSideTowardColumnAfter;
        } else {
            EXPECT_NEAR(gap, 0.98f, 1e-4f) << "slot " << slot;
            face.column = static_cast<int>(left) + 1;
            face.side = kSideTowardColumnBefore;
        }
        EXPECT_FLOAT_EQ((z[0] + z[1]) * 0.5f, face.row + 0.5f) << "centred, slot " << slot;
    } else {
        EXPECT_TRUE(z[0] == z[1] && z[1] == z[2] && z[2] == z[3]) << "slot " << slot;
        const float plane = z[0];
        const float below = std::floor(plane), gap = plane - below;
        face.column = static_cast<int>(std::floor((x[0] + x[1]) * 0.5f));
        if (std::fabs(gap - 0.02f) < 1e-4f) {
            face.row = static_cast<int>(below) - 1;
            face.side = kSideTowardRowAfter;
        } else {
            EXPECT_NEAR(gap, 0.98f, 1e-4f) << "slot " << slot;
            face.row = static_cast<int>(below) + 1;
            face.side = kSideTowardRowBefore;
        }
        EXPECT_FLOAT_EQ((x[0] + x[1]) * 0.5f, face.column + 0.5f) << "centred, slot " << slot;
    }
    return face;
}

// The open cell in front of a face, where the viewer stands.
void frontCell(const SlotFace& face, int* row, int* column)
{
    *row = face.row + (face.side == kSideTowardRowBefore ? -1 : face.side == kSideTowardRowAfter ? 1 : 0);
    *column = face.column +
              (face.side == kSideTowardColumnAfter ? 1 : face.side == kSideTowardColumnBefore ? -1 : 0);
}

float frameWidth(const Museum& museum, int slot)
{
    const int i = slot * 4;
    return std::hypot(museum.cornerX[i] - museum.cornerX[i + 1], museum.cornerZ[i] - museum.cornerZ[i + 1]);
}

float frameHeight(const Museum& museum, int slot)
{
    return museum.cornerY[slot * 4 + 2] - museum.cornerY[slot * 4];
}

Museum hung(uint32_t seed, const uint32_t* textures, const float* aspects, int count)
{
    resetWalkMap();
    seedRandom(seed);
    Museum museum;
    constructMuseum(museum);
    hangPictures(museum, textures, aspects, count);
    return museum;
}

}  // namespace

TEST(Pictures, NinetyDistinctFacesOnWallBlocksCornerZeroUpperRight)
{
    const uint32_t textures[] = {7};
    const float aspects[] = {0.75f};
    for (uint32_t seed : {1u, 2u, 777u, 123456u}) {
        Museum museum = hung(seed, textures, aspects, 1);
        std::set<SlotFace> faces;
        std::set<int> sides;
        for (int slot = 0; slot < kPictureSlots; ++slot) {
            const SlotFace face = faceOf(museum, slot);
            ASSERT_TRUE(face.row >= 0 && face.row < kPlanRows && face.column >= 0 && face.column < kPlanColumns)
                << "slot " << slot;
            EXPECT_EQ(wallMap[planIndex(face.row, face.column)], kWallBlock) << "slot " << slot;
            int row, column;
            frontCell(face, &row, &column);
            EXPECT_TRUE(isOpen(row, column)) << "slot " << slot << " faces a closed cell";
            faces.insert(face);
            sides.insert(face.side);

            // At eye height, corners 0 and 1 along the top, 2 and 3 along the bottom.
            const int i = slot * 4;
            const float* y = museum.cornerY + i;
            EXPECT_FLOAT_EQ(y[0], y[1]);
            EXPECT_FLOAT_EQ(y[2], y[3]);
            EXPECT_LT(y[0], y[2]) << "top has the smaller y";
            EXPECT_FLOAT_EQ((y[0] + y[2]) * 0.5f, -0.5f);
            // Looking from the open cell towards the wall, with up = -y, right is
            // view direction x up; corner 0 must lie further right than corner 1.
            const float viewX = static_cast<float>(face.column - column);
            const float viewZ = static_cast<float>(face.row - row);
            const float rightX = viewZ, rightZ = -viewX;  // view x (0, -1, 0), as gluLookAt
            const float along0 = museum.cornerX[i] * rightX + museum.cornerZ[i] * rightZ;
            const float along1 = museum.cornerX[i + 1] * rightX + museum.cornerZ[i + 1] * rightZ;
            EXPECT_GT(along0, along1) << "slot " << slot << " side " << face.side;
            // Counter-clockwise from the room: corner 3 lies under corner 0.
            EXPECT_FLOAT_EQ(museum.cornerX[i + 3], museum.cornerX[i]);
            EXPECT_FLOAT_EQ(museum.cornerZ[i + 3], museum.cornerZ[i]);
        }
        EXPECT_EQ(faces.size(), 90u);
        EXPECT_EQ(sides.size(), 4u) << "every side comes up";
    }
}

TEST(Pictures, SizesFollowTheAspectRatiosInListOrder)
{
    // 200 x 100 (landscape), 100 x 200 (portrait), square.
    const uint32_t textures[] = {11, 12, 13};
    const float aspects[] = {0.5f, 2.0f, 1.0f};
    Museum museum = hung(99, textures, aspects, 3);
    EXPECT_EQ(museum.hungPictureCount, 3);
    for (int slot = 0; slot < kPictureSlots; ++slot) {
        const int picture = slot % 3;
        EXPECT_EQ(museum.pictureTexture[slot], textures[picture]) << "list order, slot " << slot;
        const float width = frameWidth(museum, slot), height = frameHeight(museum, slot);
        switch (picture) {
        case 0: EXPECT_NEAR(width, 0.6f, 1e-5f); EXPECT_NEAR(height, 0.3f, 1e-5f); break;
        case 1: EXPECT_NEAR(width, 0.3f, 1e-5f); EXPECT_NEAR(height, 0.6f, 1e-5f); break;
        default: EXPECT_NEAR(width, 0.6f, 1e-5f); EXPECT_NEAR(height, 0.6f, 1e-5f); break;
        }
    }

    // A count beyond the slots never reads past the 90 entries given.
    uint32_t many[kPictureSlots];
    float ratios[kPictureSlots];
    for (int i = 0; i < kPictureSlots; ++i) many[i] = 100 + i, ratios[i] = 1.0f;
    museum = hung(5, many, ratios, 500);
    EXPECT_EQ(museum.hungPictureCount, kPictureSlots);
    EXPECT_EQ(museum.pictureTexture[89], 189u);
}

TEST(Pictures, CountZeroStillChoosesTheSameFaces)
{
    const uint32_t textures[] = {3};
    const float aspects[] = {0.5f};
    Museum withPicture = hung(2718, textures, aspects, 1);
    const int afterOne = nextRandom();
    Museum without = hung(2718, nullptr, nullptr, 0);
    const int afterNone = nextRandom();
    EXPECT_EQ(afterOne, afterNone) << "the same numbers were drawn";
    EXPECT_EQ(without.hungPictureCount, 0);
    for (int slot = 0; slot < kPictureSlots; ++slot) {
        EXPECT_EQ(without.pictureTexture[slot], 0u);
        const SlotFace a = faceOf(withPicture, slot), b = faceOf(without, slot);
        EXPECT_TRUE(a.row == b.row && a.column == b.column && a.side == b.side) << "slot " << slot;
        EXPECT_NEAR(frameWidth(without, slot), 0.6f, 1e-5f);
        EXPECT_NEAR(frameHeight(without, slot), 0.6f, 1e-5f);
    }
}
