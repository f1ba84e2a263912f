// Walls, floors, ceilings and the hung pictures, sent every frame.
#include "scene/architecture.h"

#include <algorithm>

#include "kgl/glbind.h"
#include "scene/frames.h"
#include "visibility/visibility.h"
#include "world/floor_plan.h"
#include "world/museum.h"

namespace {

// The texture of the open batch of quads in a pass; 0 before the first.
struct Batch {
    const uint32_t* textures;
    uint8_t bound = 0;
};

// Cells of equal value share one batch, also across rows; a new value ends
// the batch and starts another with its texture.
void useTextureOf(Batch& batch, uint8_t value)
{
    if (value == batch.bound) return;
    gl.glEnd();
    gl.glBindTexture(GL_TEXTURE_2D, batch.textures[value - 1]);
    gl.glBegin(GL_QUADS);
    batch.bound = value;
}

inline void corner(float s, float t, float x, float y, float z)
{
    gl.glTexCoord2f(s, t);
    gl.glVertex3f(x, y, z);
}

bool isOpenNeighbour(int row, int column)
{
    return row >= 0 && row < kPlanRows && column >= 0 && column < kPlanColumns &&
           wallMap[planIndex(row, column)] == kOpenCell;
}

// The four faces of a wall block, each toward the neighbour it is seen from.
enum class Face { TowardRowBefore, TowardRowAfter, TowardColumnBefore, TowardColumnAfter };

// A face is sent only when the eye is on its open side: one behind it could
// only be culled. The row faces also pass with the eye exactly in their plane.
bool eyeOnOpenSide(int r, int c, Face face, float eyeX, float eyeZ)
{
    switch (face) {
    case Face::TowardRowBefore: return eyeZ <= static_cast<float>(r);
    case Face::TowardRowAfter: return eyeZ >= static_cast<float>(r + 1);
    case Face::TowardColumnBefore: return eyeX < static_cast<float>(c);
    default: return eyeX > static_cast<float>(c + 1);
    }
}

void sendFace(int r, int c, Face face, float fy, float cy)
{
    const float x0 = static_cast<float>(c), x1 = static_cast<float>(c + 1);
    const float z0 = static_cast<float>(r), z1 = static_cast<float>(r + 1);
    switch (face) {
    case Face::TowardRowBefore:
        corner(0, 0, x1, fy, z0);
        corner(0, 1, x1, cy, z0);
        corner(1, 1, x0, cy, z0);
        corner(1, 0, x0, fy, z0);
        break;
    case Face::TowardRowAfter:
        corner(0, 0, x0, fy, z1);
        corner(0, 1, x0, cy, z1);
        corner(1, 1, x1, cy, z1);
        corner(1, 0, x1, fy, z1);
        break;
    case Face::TowardColumnBefore:
        corner(0, 0, x0, fy, z0);
        corner(0, 1, x0, cy, z0);
        corner(1, 1, x0, cy, z1);
        corner(1, 0, x0, fy, z1);
        break;
    case Face::TowardColumnAfter:
        corner(0, 0, x1, fy, z1);
        corner(0, 1, x1, cy, z1);
        corner(1, 1, x1, cy, z0);
        corner(1, 0, x1, fy, z0);
        break;
    }
}

// Each face of a wall block faces its open neighbour.
void drawWalls(const uint32_t* textures, float fy, float cy, float eyeX, float eyeZ)
{
    Batch batch{textures};
    gl.glBegin(GL_QUADS);
    for (int r = 0; r < kPlanRows; ++r) {
        for (int c = 0; c < kPlanColumns; ++c) {
            const uint8_t value = wallMap[planIndex(r, c)];
            if (value == kOpenCell || value == kSolidFill) continue;
            useTextureOf(batch, value);
            const struct {
                bool open;
                Face face;
            } sides[4] = {{isOpenNeighbour(r - 1, c), Face::TowardRowBefore},
                          {isOpenNeighbour(r + 1, c), Face::TowardRowAfter},
                          {isOpenNeighbour(r, c - 1), Face::TowardColumnBefore},
                          {isOpenNeighbour(r, c + 1), Face::TowardColumnAfter}};
            for (const auto& side : sides)
                if (side.open && eyeOnOpenSide(r, c, side.face, eyeX, eyeZ)) sendFace(r, c, side.face, fy, cy);
        }
    }
    gl.glEnd();
}

// Floors face up (towards -y) and ceilings down, so both are seen from the
// eye in between: no test is needed. The two differ only in their plane and
// in the order of the corners that keeps each counter-clockwise from the room.
void sendFlat(int r, int c, float y, bool isFloor)
{
    const float x0 = static_cast<float>(c), x1 = static_cast<float>(c + 1);
    const float near = static_cast<float>(isFloor ? r + 1 : r), far = static_cast<float>(isFloor ? r : r + 1);
    corner(0, 0, x0, y, near);
    corner(0, 1, x0, y, far);
    corner(1, 1, x1, y, far);
    corner(1, 0, x1, y, near);
}

void drawFlatPass(const PlanTable& map, const uint32_t* textures, float y, bool isFloor)
{
    Batch batch{textures};
    gl.glBegin(GL_QUADS);
    for (int r = 0; r < kPlanRows; ++r) {
        for (int c = 0; c < kPlanColumns; ++c) {
            const uint8_t value = map[planIndex(r, c)];
            if (value == 0) continue;
            useTextureOf(batch, value);
            sendFlat(r, c, y, isFloor);
        }
    }
    gl.glEnd();
}

// The culled passes: the sent cells nearest first, so near walls hide far
// ones before those are textured, and one texture at a time (all cells of
// value 1, then of value 2 ...), so the texture changes stay as few.

// The wall faces round the sent open cells: the face of each neighbouring
// wall block toward the cell.
void drawCellWalls(const VisibleCells& cells, const uint32_t* textures, float fy, float cy, float eyeX, float eyeZ)
{
    Batch batch{textures};
    gl.glBegin(GL_QUADS);
    for (int value = 1, highest = 1; value <= highest; ++value) {
        for (int k = 0; k < cells.count; ++k) {
            const int i = cells.nearestFirst[k], r = i / kPlanColumns, c = i % kPlanColumns;
            if (wallMap[i] != kOpenCell) continue;
            const struct {
                int row, column;
                Face face;
            } blocks[4] = {{r - 1, c, Face::TowardRowAfter},
                           {r + 1, c, Face::TowardRowBefore},
                           {r, c - 1, Face::TowardColumnAfter},
                           {r, c + 1, Face::TowardColumnBefore}};
            for (const auto& block : blocks) {
                if (block.row < 0 || block.row >= kPlanRows || block.column < 0 || block.column >= kPlanColumns)
                    continue;
                const uint8_t wall = wallMap[planIndex(block.row, block.column)];
                if (wall == kOpenCell || wall == kSolidFill) continue;
                highest = std::max<int>(highest, wall);
                if (wall != value || !eyeOnOpenSide(block.row, block.column, block.face, eyeX, eyeZ)) continue;
                useTextureOf(batch, wall);
                sendFace(block.row, block.column, block.face, fy, cy);
            }
        }
    }
    gl.glEnd();
}

void drawCellFlats(const VisibleCells& cells, const PlanTable& map, const uint32_t* textures, float y, bool isFloor)
{
    Batch batch{textures};
    gl.glBegin(GL_QUADS);
    for (int value = 1, highest = 1; value <= highest; ++value) {
        for (int k = 0; k < cells.count; ++k) {
            const int i = cells.nearestFirst[k];
            const uint8_t kind = map[i];
            highest = std::max<int>(highest, kind);
            if (kind != value) continue;
            useTextureOf(batch, kind);
            sendFlat(i / kPlanColumns, i % kPlanColumns, y, isFloor);
        }
    }
    gl.glEnd();
}

} // namespace

void drawArchitecture(const Museum& museum, const uint32_t* wallTextures, const uint32_t* floorTextures,
                      const uint32_t* ceilingTextures, const VisibleCells* cells)
{
    const Camera& camera = museum.camera;
    gl.glPushMatrix();
    if (cells && !cells->everything) {
        drawCellWalls(*cells, wallTextures, camera.floorHeight, camera.ceilingHeight, camera.eye[0], camera.eye[2]);
        drawCellFlats(*cells, floorMap, floorTextures, camera.floorHeight, true);
        drawCellFlats(*cells, ceilingMap, ceilingTextures, camera.ceilingHeight, false);
    } else {
        drawWalls(wallTextures, camera.floorHeight, camera.ceilingHeight, camera.eye[0], camera.eye[2]);
        drawFlatPass(floorMap, floorTextures, camera.floorHeight, true);
        drawFlatPass(ceilingMap, ceilingTextures, camera.ceilingHeight, false);
    }
    gl.glPopMatrix();
}

void drawPictures(const Museum& museum)
{
    if (museum.hungPictureCount == 0) return;
    drawFrames(museum);
    for (int s = 0; s < kPictureSlots; ++s) {
        // A slot whose picture is still being read stays empty.
        if (museum.pictureTexture[s] == 0 || !slotInView(museum, s)) continue;
        float c[4][3];
        pictureCorners(museum, s, c);
        gl.glBindTexture(GL_TEXTURE_2D, museum.pictureTexture[s]);
        gl.glBegin(GL_QUADS);
        // Texture row 0 is the image's top row: t = 0 runs along the frame's
        // top edge and s = 0 along its left edge, seen from the room.
        corner(1, 0, c[0][0], c[0][1], c[0][2]);
        corner(0, 0, c[1][0], c[1][1], c[1][2]);
        corner(0, 1, c[2][0], c[2][1], c[2][2]);
        corner(1, 1, c[3][0], c[3][1], c[3][2]);
        gl.glEnd();
        drawPlaque(museum, s);
    }
}
