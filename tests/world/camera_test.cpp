// The walking camera: its start, its decisions at cell centres and its turns.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "settings/settings.h"
#include "shell/random.h"
#include "world/floor_plan.h"
#include "world/museum.h"

namespace {

float headingOf(int dirX, int dirZ)
{
    if (dirZ < 0) return 0.0f;
    if (dirX < 0) return 90.0f;
    if (dirZ > 0) return 180.0f;
    return 270.0f;
}

int cellRow(const Museum& museum) { return static_cast<int>(museum.camera.eye[2]); }
int cellColumn(const Museum& museum) { return static_cast<int>(museum.camera.eye[0]); }

// A plan of our own: every cell blocked except the ones listed (row, column).
void carve(std::initializer_list<std::pair<int, int>> cells)
{
    walkMap.fill(0);
    for (const auto& cell : cells) walkMap[planIndex(cell.first, cell.second)] = kFreeCell;
}

// The camera at the centre of a cell, walking (dirX, dirZ) and looking that way.
void putCamera(Museum& museum, int row, int column, int dirX, int dirZ)
{
    Camera& camera = museum.camera;
    camera.eye[0] = column + 0.5f;
    camera.eye[2] = row + 0.5f;
    camera.dirX = static_cast<int16_t>(dirX);
    camera.dirZ = static_cast<int16_t>(dirZ);
    camera.heading = headingOf(dirX, dirZ);
    camera.turnProgress = kNotTurning;
    camera.turnStep = 0.0f;
    updateLookTarget(museum, camera.heading);
}

Museum freshMuseum(uint32_t seed)
{
    resetWalkMap();
    seedRandom(seed);
    Museum museum;
    constructMuseum(museum);
    return museum;
}

class CameraTest : public ::testing::Test {
protected:
    void TearDown() override { resetWalkMap(); }
};

}  // namespace

TEST_F(CameraTest, ConstructionStartsOnARandomFreeCell)
{
    for (uint32_t seed : {1u, 42u, 1000u, 65535u}) {
        Museum museum = freshMuseum(seed);
        // Walking towards -z, not turning.
        EXPECT_TRUE(museum.camera.dirX == 0 && museum.camera.dirZ == -1 && museum.camera.turnProgress == kNotTurning);

        // Column first, then row, until the cell is free.
        seedRandom(seed);
        int column, row;
        do {
            column = nextRandom() % 21;
            row = nextRandom() % 25;
        } while (walkMap[planIndex(row, column)] != kFreeCell);
        float x, y, z;
        getEye(museum, &x, &y, &z);
        EXPECT_EQ(x, column + 0.5f);
        EXPECT_EQ(y, -0.5f);
        EXPECT_EQ(z, row + 0.5f);
        getLookTarget(museum, &x, &y, &z);
        EXPECT_FLOAT_EQ(x, column + 0.5f);
        EXPECT_EQ(y, -0.5f);
        EXPECT_FLOAT_EQ(z, row + 0.5f - 100.0f);
    }
}

TEST_F(CameraTest, LookTargetUsesPiAsThreePointOneFour)
{
    Museum museum = freshMuseum(3);
    putCamera(museum, 5, 5, 0, -1);
    updateLookTarget(museum, 90.0f);
    const double a = 90.0 * 3.14 / 180.0;
    EXPECT_NEAR(museum.camera.lookTarget[0], 5.5 - 100.0 * std::sin(a), 1e-3);
    EXPECT_NEAR(museum.camera.lookTarget[2], 5.5 - 100.0 * std::cos(a), 1e-3);
    // With full pi the target would sit exactly on the row line.
    EXPECT_GT(std::fabs(museum.camera.lookTarget[2] - 5.5f), 0.05f);
}

TEST_F(CameraTest, NeverEntersABlockedCell)
{
    settings.cubePonds = settings.furniture = settings.showcases = settings.sculptures = 1;
    // A few long walks, then many short ones: with every exhibit kind about
    // one start cell in thirty faces away from its only way out. The first
    // step stays in the start cell, so that is never an exhibit either.
    const float steps[] = {0.125f, 0.1f, 0.05f, 0.025f};
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        const int stepCount = seed <= 12 ? 100000 : 2000;
        resetWalkMap();
        seedRandom(seed * 104729u);
        if (seed % 3 != 0) placeObjects();
        Museum museum;
        constructMuseum(museum);
        setWalkStep(museum, steps[seed % 4]);
        std::set<int> visited;
        for (int i = 0; i < stepCount; ++i) {
            stepCamera(museum);
            const Camera& camera = museum.camera;
            const int row = cellRow(museum), column = cellColumn(museum);
            ASSERT_EQ(walkMap[planIndex(row, column)], kFreeCell)
                << "seed " << seed << " step " << i << " at " << row << "," << column;
            ASSERT_EQ(std::abs(camera.dirX) + std::abs(camera.dirZ), 1);
            ASSERT_TRUE(camera.heading >= 0.0f && camera.heading < 360.0f);
            ASSERT_EQ(camera.eye[1], -0.5f);
            if (camera.turnProgress == kNotTurning) {
                ASSERT_EQ(camera.heading, headingOf(camera.dirX, camera.dirZ)) << "seed " << seed;
            }
            visited.insert(planIndex(row, column));
        }
        if (stepCount == 100000) {
            EXPECT_GT(visited.size(), 60u) << "the camera walks the museum, seed " << seed;
        }
    }
}

TEST_F(CameraTest, CorridorGoesOnWithoutDrawing)
{
    carve({{4, 5}, {5, 5}, {6, 5}, {7, 5}});
    Museum museum = freshMuseum(8);
    carve({{4, 5}, {5, 5}, {6, 5}, {7, 5}});
    seedRandom(8);
    putCamera(museum, 6, 5, 0, -1);
    for (int i = 0; i < 10; ++i) {
        stepCamera(museum);
        EXPECT_EQ(museum.camera.turnProgress, kNotTurning);
        EXPECT_EQ(museum.camera.dirZ, -1);
    }
    EXPECT_FLOAT_EQ(museum.camera.eye[2], 5.5f);
    const int next = nextRandom();
    seedRandom(8);
    EXPECT_EQ(nextRandom(), next);
}

TEST_F(CameraTest, DeadEndTurnsBackInSixSteps)
{
    std::set<float> senses;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        Museum museum = freshMuseum(seed);
        carve({{4, 5}, {5, 5}, {6, 5}});
        putCamera(museum, 4, 5, 0, -1);
        std::vector<float> headings;
        stepCamera(museum);
        EXPECT_EQ(museum.camera.dirZ, 1) << "walks back at once";
        EXPECT_NEAR(museum.camera.eye[2], 4.6f, 1e-5);
        senses.insert(museum.camera.turnStep);
        headings.push_back(museum.camera.heading);
        for (int i = 1; i < 6; ++i) {
            EXPECT_NE(museum.camera.turnProgress, kNotTurning);
            stepCamera(museum);
            headings.push_back(museum.camera.heading);
        }
        EXPECT_EQ(museum.camera.turnProgress, kNotTurning);
        EXPECT_EQ(museum.camera.heading, 180.0f);
        const float sense = museum.camera.turnStep;
        EXPECT_TRUE(sense == 30.0f || sense == -30.0f);
        EXPECT_EQ(headings.front(), sense > 0 ? 30.0f : 330.0f);
        stepCamera(museum);
        EXPECT_EQ(museum.camera.turnStep, 0.0f);
        EXPECT_EQ(museum.camera.heading, 180.0f);
    }
    EXPECT_EQ(senses, (std::set<float>{-30.0f, 30.0f})) << "both senses occur";
}

TEST_F(CameraTest, TJunctionTakesEachSideAboutHalfTheTime)
{
    int left = 0, right = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        Museum museum = freshMuseum(seed);
        carve({{5, 4}, {5, 5}, {5, 6}, {6, 5}});
        putCamera(museum, 5, 5, 0, -1);
        stepCamera(museum);
        ASSERT_EQ(museum.camera.dirZ, 0);
        if (museum.camera.dirX > 0) {
            ++right;
            EXPECT_EQ(museum.camera.turnStep, -15.0f);
        } else {
            ++left;
            EXPECT_EQ(museum.camera.turnStep, 15.0f);
        }
    }
    EXPECT_GT(left, 150);
    EXPECT_GT(right, 150);
}

TEST_F(CameraTest, TurnsTheShortWayToTheOneOpenSide)
{
    // Travelling (dirX, dirZ) into a wall with one side open at (sideX, sideZ).
    const struct { int dirX, dirZ, sideX, sideZ; float turnStep; } cases[] = {
        {-1, 0, 0, -1, -15}, {-1, 0, 0, 1, 15}, {1, 0, 0, -1, 15}, {1, 0, 0, 1, -15},
        {0, -1, 1, 0, -15},  {0, -1, -1, 0, 15}, {0, 1, 1, 0, 15},  {0, 1, -1, 0, -15},
    };
    for (const auto& c : cases) {
        Museum museum = freshMuseum(11);
        carve({{5, 5}, {5 - c.dirZ, 5 - c.dirX}, {5 + c.sideZ, 5 + c.sideX}});
        putCamera(museum, 5, 5, c.dirX, c.dirZ);
        const float start = museum.camera.heading;
        for (int i = 0; i < 6; ++i) stepCamera(museum);
        EXPECT_EQ(museum.camera.dirX, c.sideX);
        EXPECT_EQ(museum.camera.dirZ, c.sideZ);
        EXPECT_EQ(museum.camera.turnStep, c.turnStep);
        EXPECT_EQ(museum.camera.turnProgress, kNotTurning);
        EXPECT_EQ(museum.camera.heading, headingOf(c.sideX, c.sideZ)) << "from " << start;
        // Six steps along the new way, the first in the deciding step.
        EXPECT_NEAR(museum.camera.eye[0], 5.5f + 0.6f * c.sideX, 1e-5);
        EXPECT_NEAR(museum.camera.eye[2], 5.5f + 0.6f * c.sideZ, 1e-5);
    }
}

TEST_F(CameraTest, HeadingWrapsBelowZero)
{
    Museum museum = freshMuseum(11);
    carve({{5, 5}, {6, 5}, {5, 6}});
    putCamera(museum, 5, 5, 0, -1);
    std::vector<float> headings;
    for (int i = 0; i < 6; ++i) {
        stepCamera(museum);
        headings.push_back(museum.camera.heading);
    }
    EXPECT_EQ(headings, (std::vector<float>{345, 330, 315, 300, 285, 270}));
    // The view swings with the heading and ends looking along +x.
    EXPECT_NEAR(museum.camera.lookTarget[0] - museum.camera.eye[0], 100.0f, 0.01f);
}

TEST_F(CameraTest, OpenWaysTurnOneTimeInTen)
{
    // A crossing with every way open, and a corner-less side street.
    int crossingTurns = 0, sideTurns = 0;
    const int runs = 2000;
    for (uint32_t seed = 1; seed <= runs; ++seed) {
        Museum museum = freshMuseum(seed);
        carve({{4, 5}, {5, 4}, {5, 5}, {5, 6}, {6, 5}});
        putCamera(museum, 5, 5, 0, -1);
        stepCamera(museum);
        crossingTurns += museum.camera.turnProgress != kNotTurning;

        carve({{4, 5}, {5, 5}, {5, 6}, {6, 5}});
        putCamera(museum, 5, 5, 0, -1);
        stepCamera(museum);
        if (museum.camera.turnProgress != kNotTurning) {
            ++sideTurns;
            EXPECT_EQ(museum.camera.dirX, 1) << "only the open side";
        }
    }
    EXPECT_NEAR(crossingTurns, runs / 10, runs / 30);
    EXPECT_NEAR(sideTurns, runs / 10, runs / 30);
}

TEST_F(CameraTest, SmallStepsDecideAgainWithinTheCentreWindow)
{
    // Walking -z in steps of 0.03 from z 5.995, the eye is at 5.545, 5.515,
    // 5.485 and 5.455 inside the centre window: four separate decisions.
    int turned = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        seedRandom(seed);
        int expectedDraws = 0;
        bool expectTurn = false;
        for (int i = 0; i < 4 && !expectTurn; ++i) {
            ++expectedDraws;
            expectTurn = nextRandom() % 10 == 0;
        }
        if (expectTurn) {
            nextRandom();  // the side draw
            ++expectedDraws;
        }
        const int following = nextRandom();

        Museum museum = freshMuseum(1);
        carve({{4, 5}, {5, 4}, {5, 5}, {5, 6}, {6, 5}, {7, 5}});
        putCamera(museum, 6, 5, 0, -1);
        museum.camera.eye[2] = 5.995f;
        setWalkStep(museum, 0.03f);
        seedRandom(seed);
        for (int i = 0; i < 20; ++i) stepCamera(museum);
        EXPECT_EQ(museum.camera.dirZ == 0, expectTurn) << "seed " << seed;
        EXPECT_EQ(nextRandom(), following) << "seed " << seed << ": " << expectedDraws << " draws";
        turned += expectTurn;
    }
    EXPECT_GT(turned, 5);
    EXPECT_LT(turned, 55);
}

TEST_F(CameraTest, StartCellFacingItsOnlyWayOutGoesOn)
{
    // The camera starts facing -z; turning back would walk it into the exhibit behind.
    Museum museum = freshMuseum(4);
    carve({{3, 5}, {4, 5}, {5, 5}});
    walkMap[planIndex(5, 5)] = kSculpture;
    putCamera(museum, 4, 5, 0, -1);
    stepCamera(museum);
    EXPECT_EQ(museum.camera.dirZ, -1);
    EXPECT_EQ(museum.camera.turnProgress, kNotTurning);

    // Facing a wall with the way out to the side: a corner turn towards it.
    carve({{4, 5}, {4, 6}, {5, 5}});
    walkMap[planIndex(5, 5)] = kBench;
    putCamera(museum, 4, 5, 0, -1);
    stepCamera(museum);
    EXPECT_EQ(museum.camera.dirX, 1);
    EXPECT_EQ(museum.camera.turnStep, -15.0f);
    for (int i = 0; i < 40; ++i) {
        stepCamera(museum);
        ASSERT_EQ(walkMap[planIndex(cellRow(museum), cellColumn(museum))], kFreeCell);
    }
}

TEST_F(CameraTest, WalledInStartCellOnlyLooksAround)
{
    Museum museum = freshMuseum(4);
    carve({{5, 5}});
    putCamera(museum, 5, 5, 0, -1);
    std::set<float> headings;
    for (int i = 0; i < 60; ++i) {
        stepCamera(museum);
        headings.insert(museum.camera.heading);
    }
    EXPECT_EQ(museum.camera.eye[0], 5.5f);
    EXPECT_EQ(museum.camera.eye[2], 5.5f);
    EXPECT_GE(headings.size(), 6u) << "it keeps turning on the spot";
}
