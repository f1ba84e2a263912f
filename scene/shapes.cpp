// The solid cube and sphere the exhibits are made of, with the same vertices,
// normals and triangles as GLUT's solid shapes, so a scene looks alike
// whichever library once drew them. They are drawn through the program's own
// OpenGL table, on whatever display the run has (GLUT would need an X display
// of its own). The arithmetic is done in single precision, step by step as
// GLUT does it, so the same vertices come out to the last bit.
#include <cmath>
#include <vector>

#include "kgl/glbind.h"
#include "scene/objects.h"

namespace {

// The corners of the unit cube, and each face as four of them counter-clockwise
// from outside with the face's normal. A face is drawn as the triangles 0 1 2 and 0 2 3.
constexpr float kCubeCorners[8][3] = {
    {.5f, .5f, .5f}, {-.5f, .5f, .5f}, {-.5f, -.5f, .5f}, {.5f, -.5f, .5f},
    {.5f, -.5f, -.5f}, {.5f, .5f, -.5f}, {-.5f, .5f, -.5f}, {-.5f, -.5f, -.5f},
};
struct CubeFace {
    float normal[3];
    int corners[4];
};
constexpr CubeFace kCubeFaces[6] = {
    {{0, 0, 1}, {0, 1, 2, 3}},  {{1, 0, 0}, {0, 3, 4, 5}},  {{0, 1, 0}, {0, 5, 6, 1}},
    {{-1, 0, 0}, {1, 6, 7, 2}}, {{0, -1, 0}, {7, 4, 3, 2}}, {{0, 0, -1}, {4, 7, 6, 5}},
};
constexpr int kQuadAsTriangles[6] = {0, 1, 2, 0, 2, 3};

// sin and cos at n + 1 steps around a circle (a half circle with half), the
// last repeating the first (or ending at pi); a negative n goes the other way round.
void circleTable(std::vector<float>& sines, std::vector<float>& cosines, int n, bool half)
{
    int size = n < 0 ? -n : n;
    const float angle = (half ? 1 : 2) * static_cast<float>(M_PI) / static_cast<float>(n == 0 ? 1 : n);
    sines.assign(static_cast<size_t>(size) + 1, 0.0f);
    cosines.assign(static_cast<size_t>(size) + 1, 1.0f);
    for (int i = 1; i < size; ++i) {
        // The float angle is widened to double for sin and cos, as C's sin() does with it.
        sines[i] = static_cast<float>(std::sin(static_cast<double>(angle * i)));
        cosines[i] = static_cast<float>(std::cos(static_cast<double>(angle * i)));
    }
    sines[size] = half ? 0.0f : sines[0];
    cosines[size] = half ? -1.0f : cosines[0];
}

struct SphereVertex {
    float position[3];
    float normal[3];
};

void emit(const SphereVertex& v)
{
    gl.glNormal3fv(v.normal);
    gl.glVertex3fv(v.position);
}

} // namespace

void solidCube(double edge)
{
    const float size = static_cast<float>(edge);
    gl.glBegin(GL_TRIANGLES);
    for (const CubeFace& face : kCubeFaces) {
        for (int corner : kQuadAsTriangles) {
            const float* p = kCubeCorners[face.corners[corner]];
            gl.glNormal3fv(face.normal);
            if (size != 1.0f)
                gl.glVertex3f(size * p[0], size * p[1], size * p[2]);
            else
                gl.glVertex3fv(p);
        }
    }
    gl.glEnd();
}

void solidSphere(double radius, int slices, int stacks)
{
    // The poles, and slices points on each of the stacks - 1 circles between
    // them, from the top down; each stack is one triangle strip around the sphere.
    if (slices <= 0 || stacks < 2) return;
    const float r = static_cast<float>(radius);
    std::vector<float> sin1, cos1, sin2, cos2;
    circleTable(sin1, cos1, -slices, false);
    circleTable(sin2, cos2, stacks, true);

    std::vector<SphereVertex> vertices;
    vertices.reserve(static_cast<size_t>(slices) * static_cast<size_t>(stacks - 1) + 2);
    vertices.push_back({{0.f, 0.f, r}, {0.f, 0.f, 1.f}});
    for (int i = 1; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            float x = cos1[j] * sin2[i], y = sin1[j] * sin2[i], z = cos2[i];
            vertices.push_back({{x * r, y * r, z * r}, {x, y, z}});
        }
    }
    vertices.push_back({{0.f, 0.f, -r}, {0.f, 0.f, -1.f}});
    const size_t bottom = vertices.size() - 1;

    // Top stack: the first circle against the north pole.
    gl.glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= slices; ++j) {
        emit(vertices[1 + (j % slices)]);
        emit(vertices[0]);
    }
    gl.glEnd();
    // Middle stacks: each circle against the one above it.
    for (int i = 0; i < stacks - 2; ++i) {
        size_t offset = 1 + static_cast<size_t>(i) * slices;
        gl.glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= slices; ++j) {
            size_t k = static_cast<size_t>(j % slices);
            emit(vertices[offset + k + slices]);
            emit(vertices[offset + k]);
        }
        gl.glEnd();
    }
    // Bottom stack: the south pole against the last circle.
    size_t offset = 1 + static_cast<size_t>(stacks - 2) * slices;
    gl.glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= slices; ++j) {
        emit(vertices[bottom]);
        emit(vertices[offset + static_cast<size_t>(j % slices)]);
    }
    gl.glEnd();
}
