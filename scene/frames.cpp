// Picture frames: each style is a profile of the moulding (how far in from
// the outer edge, how far out from the wall) swept round the slot with
// mitred corners, every facet coloured by its slant to a light from the upper
// left, so gilding catches a highlight and wood reads darker below.
#include "scene/frames.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kgl/glbind.h"
#include "plaques/plaques.h"
#include "scene/scene.h"
#include "visibility/visibility.h"
#include "world/floor_plan.h"
#include "world/museum.h"

namespace {

// Heights are out from the slot's plane (which floats 0.02 in front of the
// wall); the first point of each profile reaches back to the wall.
constexpr float kWallDepth = -0.02f;
constexpr float kMatHeight = 0.006f;
constexpr float kPhotoHeight = 0.002f;

struct ProfilePoint {
    float inset;    // share of the moulding's width, 0 outer edge .. 1 inner edge
    float height;   // world units out from the slot's plane
};

struct FrameStyle {
    float colour[3];
    float shine;            // strength of the highlight
    float shineColour[3];
    int points;
    ProfilePoint profile[8];
};

const FrameStyle kStyles[kFrameStyles] = {
    // Gilded: a raised bead, a hollow and a second bead falling to the mat.
    {{0.78f, 0.60f, 0.22f}, 0.75f, {1.0f, 0.92f, 0.62f}, 8,
     {{0, kWallDepth}, {0, 0.030f}, {0.18f, 0.042f}, {0.38f, 0.036f}, {0.55f, 0.030f}, {0.72f, 0.038f},
      {1, 0.012f}, {1, kMatHeight}}},
    // Dark wood: a broad rounded top.
    {{0.34f, 0.20f, 0.10f}, 0.18f, {1.0f, 0.9f, 0.8f}, 6,
     {{0, kWallDepth}, {0, 0.028f}, {0.25f, 0.036f}, {0.7f, 0.034f}, {1, 0.012f}, {1, kMatHeight}}},
    // Black: flat and narrow-edged, a gallery frame.
    {{0.07f, 0.07f, 0.08f}, 0.35f, {1, 1, 1}, 5,
     {{0, kWallDepth}, {0, 0.026f}, {0.12f, 0.030f}, {1, 0.030f}, {1, kMatHeight}}},
    // Pale oak: a plain slope.
    {{0.74f, 0.60f, 0.42f}, 0.12f, {1, 1, 1}, 5,
     {{0, kWallDepth}, {0, 0.024f}, {0.2f, 0.032f}, {1, 0.014f}, {1, kMatHeight}}},
};

// The slot's own axes: origin at the upper left corner, right and down along
// its edges, normal out into the room.
struct SlotAxes {
    float origin[3], right[3], down[3], normal[3];
    float width, height;
};

SlotAxes axesOf(const Museum& museum, int s)
{
    const float* x = museum.cornerX + s * 4;
    const float* y = museum.cornerY + s * 4;
    const float* z = museum.cornerZ + s * 4;
    SlotAxes a;
    a.origin[0] = x[1], a.origin[1] = y[1], a.origin[2] = z[1];
    float r[3] = {x[0] - x[1], y[0] - y[1], z[0] - z[1]};
    float d[3] = {x[2] - x[1], y[2] - y[1], z[2] - z[1]};
    a.width = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    a.height = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int k = 0; k < 3; ++k) {
        a.right[k] = a.width > 0 ? r[k] / a.width : 0;
        a.down[k] = a.height > 0 ? d[k] / a.height : 0;
    }
    a.normal[0] = a.down[1] * a.right[2] - a.down[2] * a.right[1];
    a.normal[1] = a.down[2] * a.right[0] - a.down[0] * a.right[2];
    a.normal[2] = a.down[0] * a.right[1] - a.down[1] * a.right[0];
    return a;
}

// A point of the slot: u along its top edge, v down its side, n out.
struct Local {
    float u, v, n;
};

void worldPoint(const SlotAxes& a, Local p, float out[3])
{
    for (int k = 0; k < 3; ++k) out[k] = a.origin[k] + p.u * a.right[k] + p.v * a.down[k] + p.n * a.normal[k];
}

// The moulding's and the mat's widths on this slot: as designed, or both
// shrunk to a fifth of the shorter side of a narrow slot.
void bordersOf(const SlotAxes& a, float* bar, float* border)
{
    *border = std::min(kFrameBar + kMatWidth, 0.2f * std::min(a.width, a.height));
    *bar = *border * kFrameBar / (kFrameBar + kMatWidth);
}

// The photo's opening: inside the mat, centred, with the photo's own aspect.
void photoRectangle(const SlotAxes& a, float aspect, float* u0, float* v0, float* u1, float* v1)
{
    float bar, border;
    bordersOf(a, &bar, &border);
    const float innerW = std::max(0.0f, a.width - 2 * border), innerH = std::max(0.0f, a.height - 2 * border);
    if (!(aspect > 0.0f)) aspect = 1.0f;
    float w = innerW, h = innerW * aspect;
    if (h > innerH) h = innerH, w = aspect > 0 ? innerH / aspect : innerW;
    *u0 = (a.width - w) * 0.5f, *u1 = *u0 + w;
    *v0 = (a.height - h) * 0.5f, *v1 = *v0 + h;
}

// A rectangle of the slot at one height: corners upper left, upper right,
// lower right, lower left.
struct Ring {
    Local corner[4];
};

Ring ring(float u0, float v0, float u1, float v1, float n)
{
    return Ring{{{u0, v0, n}, {u1, v0, n}, {u1, v1, n}, {u0, v1, n}}};
}

// The band between an outer ring and an inner one: four mitred quads, each
// counter-clockwise seen from the side it faces, coloured by that facing.
// How squarely the light falls on a face flat on the wall.
const float kFlatFacing = 0.72f / std::sqrt(0.35f * 0.35f + 0.6f * 0.6f + 0.72f * 0.72f);

void band(const SlotAxes& a, const Ring& outer, const Ring& inner, const float colour[3], float shine,
          const float shineColour[3])
{
    // Towards the light: up, to the left and out of the wall.
    float light[3];
    for (int k = 0; k < 3; ++k) light[k] = -0.35f * a.right[k] - 0.6f * a.down[k] + 0.72f * a.normal[k];
    const float length = std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]);
    for (float& l : light) l /= length;

    for (int side = 0; side < 4; ++side) {
        const int next = (side + 1) % 4;
        float p[4][3];
        worldPoint(a, outer.corner[side], p[0]);
        worldPoint(a, inner.corner[side], p[1]);
        worldPoint(a, inner.corner[next], p[2]);
        worldPoint(a, outer.corner[next], p[3]);
        // The facet's normal from its diagonals.
        float d1[3], d2[3], normal[3];
        for (int k = 0; k < 3; ++k) d1[k] = p[2][k] - p[0][k], d2[k] = p[3][k] - p[1][k];
        normal[0] = d1[1] * d2[2] - d1[2] * d2[1];
        normal[1] = d1[2] * d2[0] - d1[0] * d2[2];
        normal[2] = d1[0] * d2[1] - d1[1] * d2[0];
        const float size = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        if (size < 1e-9f) continue;   // a facet with no area
        const float facing = std::max(0.0f, (normal[0] * light[0] + normal[1] * light[1] + normal[2] * light[2]) / size);
        const float highlight = shine * std::pow(facing, 10.0f);
        float c[3];
        // A face flat on the wall shows its own colour; slants lighten or darken it.
        const float light = (0.3f + 0.8f * facing) / (0.3f + 0.8f * kFlatFacing);
        for (int k = 0; k < 3; ++k) c[k] = std::min(1.0f, colour[k] * light + highlight * shineColour[k]);
        gl.glColor3f(c[0], c[1], c[2]);
        for (const float* corner : p) gl.glVertex3f(corner[0], corner[1], corner[2]);
    }
}

void sendFrame(const Museum& museum, int s)
{
    const SlotAxes a = axesOf(museum, s);
    const FrameStyle& style = kStyles[(museum.frameStyle[s] - 1) % kFrameStyles];
    float bar, border;
    bordersOf(a, &bar, &border);
    float u0, v0, u1, v1;
    photoRectangle(a, museum.photoAspect[s], &u0, &v0, &u1, &v1);

    gl.glBegin(GL_QUADS);
    for (int i = 0; i + 1 < style.points; ++i) {
        const ProfilePoint p = style.profile[i], q = style.profile[i + 1];
        const float pi = p.inset * bar, qi = q.inset * bar;
        band(a, ring(pi, pi, a.width - pi, a.height - pi, p.height), ring(qi, qi, a.width - qi, a.height - qi, q.height),
             style.colour, style.shine, style.shineColour);
    }
    // The mat, and its cut edge down to the photo.
    float mat[3], core[3];
    for (int k = 0; k < 3; ++k) mat[k] = kMatColour[k] / 255.0f, core[k] = 0.97f;
    const float none[3] = {0, 0, 0};
    band(a, ring(bar, bar, a.width - bar, a.height - bar, kMatHeight), ring(u0, v0, u1, v1, kMatHeight), mat, 0.0f,
         none);
    band(a, ring(u0, v0, u1, v1, kMatHeight), ring(u0, v0, u1, v1, kPhotoHeight), core, 0.0f, none);
    gl.glEnd();
}

// The display list of each slot, with the shape and style it was made for.
struct FrameList {
    uint32_t list = 0;
    float shape[14] = {};
};
FrameList frameLists[kPictureSlots];

void shapeOf(const Museum& museum, int s, float shape[14])
{
    for (int i = 0; i < 4; ++i) {
        shape[i * 3] = museum.cornerX[s * 4 + i];
        shape[i * 3 + 1] = museum.cornerY[s * 4 + i];
        shape[i * 3 + 2] = museum.cornerZ[s * 4 + i];
    }
    shape[12] = museum.frameStyle[s];
    shape[13] = museum.photoAspect[s];
}

} // namespace

bool slotInView(const Museum& museum, int s)
{
    const Camera& camera = museum.camera;
    const float* x = museum.cornerX + s * 4;
    const float* z = museum.cornerZ + s * 4;
    // The slot, its frame and whatever hangs beside it on the face lie in the
    // open cell in front of the face: they go when that cell goes.
    const int column = static_cast<int>(std::floor((x[0] + x[2]) * 0.5f));
    const int row = static_cast<int>(std::floor((z[0] + z[2]) * 0.5f));
    if (row >= 0 && row < kPlanRows && column >= 0 && column < kPlanColumns &&
        !cellSent(frameCells, planIndex(row, column)))
        return false;
    // Seen only from the room side of its wall: the normal out of an upright
    // slot is its top edge turned a quarter to the room.
    const float normalX = z[0] - z[1], normalZ = x[1] - x[0];
    if ((camera.eye[0] - x[1]) * normalX + (camera.eye[2] - z[1]) * normalZ <= 0) return false;
    // Within the view's width: no part of a slot lies more than half a unit
    // from its centre, so a centre farther than that outside either side
    // plane of the view leaves nothing to draw.
    const float ahead[2] = {camera.lookTarget[0] - camera.eye[0], camera.lookTarget[2] - camera.eye[2]};
    const float length = std::sqrt(ahead[0] * ahead[0] + ahead[1] * ahead[1]);
    if (length <= 0) return true;
    const float centreX = (x[0] + x[2]) * 0.5f - camera.eye[0], centreZ = (z[0] + z[2]) * 0.5f - camera.eye[2];
    const float forward = (centreX * ahead[0] + centreZ * ahead[1]) / length;
    const float aside = std::fabs(centreX * ahead[1] - centreZ * ahead[0]) / length;
    const float halfWidth = std::atan(std::tan(42.0f * 3.14159265f / 180.0f) * static_cast<float>(sceneAspect()));
    return aside * std::cos(halfWidth) - forward * std::sin(halfWidth) <= 0.5f;
}

void forgetFrameLists()
{
    for (FrameList& frame : frameLists) frame = FrameList();
}

void drawFrames(const Museum& museum)
{
    gl.glDisable(GL_TEXTURE_2D);
    for (int s = 0; s < kPictureSlots; ++s) {
        if (museum.frameStyle[s] == 0 || museum.pictureTexture[s] == 0 || !slotInView(museum, s)) continue;
        FrameList& frame = frameLists[s];
        float shape[14];
        shapeOf(museum, s, shape);
        if (frame.list == 0 || std::memcmp(shape, frame.shape, sizeof shape) != 0) {
            if (frame.list == 0) frame.list = gl.glGenLists(1);
            std::memcpy(frame.shape, shape, sizeof shape);
            gl.glNewList(frame.list, GL_COMPILE);
            sendFrame(museum, s);
            gl.glEndList();
        }
        gl.glCallList(frame.list);
    }
    gl.glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gl.glEnable(GL_TEXTURE_2D);
}

void pictureCorners(const Museum& museum, int s, float corners[4][3])
{
    if (museum.frameStyle[s] == 0) {
        for (int i = 0; i < 4; ++i) {
            corners[i][0] = museum.cornerX[s * 4 + i];
            corners[i][1] = museum.cornerY[s * 4 + i];
            corners[i][2] = museum.cornerZ[s * 4 + i];
        }
        return;
    }
    const SlotAxes a = axesOf(museum, s);
    float u0, v0, u1, v1;
    photoRectangle(a, museum.photoAspect[s], &u0, &v0, &u1, &v1);
    // Upper right, upper left, lower left, lower right.
    worldPoint(a, {u1, v0, kPhotoHeight}, corners[0]);
    worldPoint(a, {u0, v0, kPhotoHeight}, corners[1]);
    worldPoint(a, {u0, v1, kPhotoHeight}, corners[2]);
    worldPoint(a, {u1, v1, kPhotoHeight}, corners[3]);
}

void plaqueCorners(const Museum& museum, int s, float corners[4][3])
{
    const SlotAxes a = axesOf(museum, s);
    const SlotPlaque& plaque = museum.plaque[s];
    // Level with the frame's bottom edge, beside its right edge, a card's
    // thickness off the wall.
    const float u0 = a.width + kPlaqueGap, u1 = u0 + plaque.width;
    const float v1 = a.height, v0 = v1 - plaque.height;
    const float n = kWallDepth + 0.004f;
    worldPoint(a, {u1, v0, n}, corners[0]);
    worldPoint(a, {u0, v0, n}, corners[1]);
    worldPoint(a, {u0, v1, n}, corners[2]);
    worldPoint(a, {u1, v1, n}, corners[3]);
}

void drawPlaque(const Museum& museum, int s)
{
    const SlotPlaque& plaque = museum.plaque[s];
    if (plaque.texture == 0 || museum.frameStyle[s] == 0) return;
    float c[4][3];
    plaqueCorners(museum, s, c);
    gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    gl.glColor3ub(kPlaqueCardColour[0], kPlaqueCardColour[1], kPlaqueCardColour[2]);
    gl.glBindTexture(GL_TEXTURE_2D, plaque.texture);
    gl.glBegin(GL_QUADS);
    gl.glTexCoord2f(plaque.usedS, 0);
    gl.glVertex3f(c[0][0], c[0][1], c[0][2]);
    gl.glTexCoord2f(0, 0);
    gl.glVertex3f(c[1][0], c[1][1], c[1][2]);
    gl.glTexCoord2f(0, plaque.usedT);
    gl.glVertex3f(c[2][0], c[2][1], c[2][2]);
    gl.glTexCoord2f(plaque.usedS, plaque.usedT);
    gl.glVertex3f(c[3][0], c[3][1], c[3][2]);
    gl.glEnd();
    gl.glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
}
