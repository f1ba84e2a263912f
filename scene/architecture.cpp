// Walls, floors, ceilings and the hung pictures, sent every frame.
#include "scene/architecture.h"

#include "kgl/glbind.h"
#include "scene/frames.h"
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

// Each face of a wall block faces its open neighbour. A face is sent only
// when the eye is on that side of its plane: one behind it could only be
// culled. The row faces also pass with the eye exactly in their plane.
void drawWalls(const uint32_t* textures, float fy, float cy, float eyeX, float eyeZ)
{
    Batch batch{textures};
    gl.glBegin(GL_QUADS);
    for (int r = 0; r < kPlanRows; ++r) {
        for (int c = 0; c < kPlanColumns; ++c) {
            const uint8_t value = wallMap[planIndex(r, c)];
            if (value == kOpenCell || value == kSolidFill) continue;
            useTextureOf(batch, value);
            const float x0 = static_cast<float>(c), x1 = static_cast<float>(c + 1);
            const float z0 = static_cast<float>(r), z1 = static_cast<float>(r + 1);
            if (isOpenNeighbour(r - 1, c) && eyeZ <= z0) {
                corner(0, 0, x1, fy, z0);
                corner(0, 1, x1, cy, z0);
                corner(1, 1, x0, cy, z0);
                corner(1, 0, x0, fy, z0);
            }
            if (isOpenNeighbour(r + 1, c) && eyeZ >= z1) {
                corner(0, 0, x0, fy, z1);
                corner(0, 1, x0, cy, z1);
                corner(1, 1, x1, cy, z1);
                corner(1, 0, x1, fy, z1);
            }
            if (isOpenNeighbour(r, c - 1) && eyeX < x0) {
                corner(0, 0, x0, fy, z0);
                corner(0, 1, x0, cy, z0);
                corner(1, 1, x0, cy, z1);
                corner(1, 0, x0, fy, z1);
            }
            if (isOpenNeighbour(r, c + 1) && eyeX > x1) {
                corner(0, 0, x1, fy, z1);
                corner(0, 1, x1, cy, z1);
                corner(1, 1, x1, cy, z0);
                corner(1, 0, x1, fy, z0);
            }
        }
    }
    gl.glEnd();
}

// Floors face up (towards -y) and ceilings down, so both are seen from the
// eye in between: no test is needed. The two differ only in their plane and
// in the order of the corners that keeps each counter-clockwise from the room.
void drawFlatPass(const PlanTable& map, const uint32_t* textures, float y, bool isFloor)
{
    Batch batch{textures};
    gl.glBegin(GL_QUADS);
    for (int r = 0; r < kPlanRows; ++r) {
        for (int c = 0; c < kPlanColumns; ++c) {
            const uint8_t value = map[planIndex(r, c)];
            if (value == 0) continue;
            useTextureOf(batch, value);
            const float x0 = static_cast<float>(c), x1 = static_cast<float>(c + 1);
            const float near = static_cast<float>(isFloor ? r + 1 : r), far = static_cast<float>(isFloor ? r : r + 1);
            corner(0, 0, x0, y, near);
            corner(0, 1, x0, y, far);
            corner(1, 1, x1, y, far);
            corner(1, 0, x1, y, near);
        }
    }
    gl.glEnd();
}

} // namespace

void drawArchitecture(const Museum& museum, const uint32_t* wallTextures, const uint32_t* floorTextures,
                      const uint32_t* ceilingTextures)
{
    const Camera& camera = museum.camera;
    gl.glPushMatrix();
    drawWalls(wallTextures, camera.floorHeight, camera.ceilingHeight, camera.eye[0], camera.eye[2]);
    drawFlatPass(floorMap, floorTextures, camera.floorHeight, true);
    drawFlatPass(ceilingMap, ceilingTextures, camera.ceilingHeight, false);
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
