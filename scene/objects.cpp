// Building the exhibits' record and models, and drawing the placed exhibits.
#include "scene/objects.h"

#include "kgl/glbind.h"
#include "shell/random.h"
#include "visibility/visibility.h"
#include "world/floor_plan.h"

namespace {

constexpr float kTurnPerStep = 5.0f;   // degrees each animation angle advances per world step

int random(int n)
{
    return nextRandom() % n;
}

// Red, green and blue each one of 0.1, 0.2, ... 1.0, drawn in that order; alpha 1.
void randomColour(float colour[4])
{
    for (int channel = 0; channel < 3; ++channel) colour[channel] = static_cast<float>(random(10) + 1) * 0.1f;
    colour[3] = 1.0f;
}

// The models carry their own vertex colours: lighting is off inside them.
uint32_t compileModel(const ModelTable& model)
{
    const uint32_t list = gl.glGenLists(1);
    gl.glNewList(list, GL_COMPILE);
    gl.glDisable(GL_LIGHTING);
    if (!model.beginPerQuad) gl.glBegin(GL_QUADS);
    for (int quad = 0; quad < model.quadCount; ++quad) {
        if (model.beginPerQuad) gl.glBegin(GL_QUADS);
        for (int i = 0; i < 4; ++i) {
            const ModelVertex& vertex = model.vertices[quad * 4 + i];
            if (vertex.colourCall == 3) gl.glColor3f(vertex.r, vertex.g, vertex.b);
            if (vertex.colourCall == 4) gl.glColor4f(vertex.r, vertex.g, vertex.b, vertex.a);
            gl.glVertex3f(vertex.x, vertex.y, vertex.z);
        }
        if (model.beginPerQuad) gl.glEnd();
    }
    if (!model.beginPerQuad) gl.glEnd();
    if (model.whiteAfter) gl.glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gl.glEnable(GL_LIGHTING);
    gl.glEndList();
    return list;
}

// The lit shapes take their colour from the material, ambient and diffuse alike.
void material(const float colour[4])
{
    gl.glMaterialfv(GL_FRONT, GL_AMBIENT, colour);
    gl.glMaterialfv(GL_FRONT, GL_DIFFUSE, colour);
}

// Tumbling turns about the cube's own diagonal.
void rotateAboutDiagonal(float angle)
{
    gl.glRotatef(angle, 1.0f, 1.0f, 1.0f);
}

void drawThreeCubes(const ObjectSet& set)
{
    const float g = set.groupAngle;
    struct Piece {
        int colour;
        float x, y;
    };
    const Piece pieces[3] = {{4, 0.2f, 0.1f}, {5, -0.2f, 0.1f}, {6, 0.0f, -0.1f}};
    gl.glPushMatrix();
    gl.glTranslatef(0.0f, -0.6f, 0.0f);
    for (const Piece& piece : pieces) {
        gl.glPushMatrix();
        material(set.exhibitColour[piece.colour]);
        rotateAboutDiagonal(g);
        gl.glTranslatef(piece.x, piece.y, 0.0f);
        rotateAboutDiagonal(g);
        solidCube(0.1);
        gl.glPopMatrix();
    }
    gl.glPopMatrix();
}

void drawSphereWithOrbits(const ObjectSet& set)
{
    const float g = set.groupAngle;
    gl.glPushMatrix();
    material(set.exhibitColour[0]);
    gl.glTranslatef(0.0f, -0.5f, 0.0f);
    solidSphere(0.1, 10, 10);
    gl.glPopMatrix();
    const struct {
        int colour;
        float x;
    } orbits[2] = {{1, 0.3f}, {2, -0.3f}};
    for (const auto& orbit : orbits) {
        gl.glPushMatrix();
        material(set.exhibitColour[orbit.colour]);
        gl.glRotatef(g, 0.0f, 1.0f, 0.0f);
        gl.glTranslatef(orbit.x, -0.5f, 0.0f);
        rotateAboutDiagonal(g);
        solidCube(0.1);
        gl.glPopMatrix();
    }
}

void drawSpiral(const ObjectSet& set)
{
    gl.glPushMatrix();
    for (int i = 0; i < kExhibitItems; ++i) {
        gl.glPushMatrix();
        material(set.exhibitColour[i]);
        gl.glRotatef(36.0f * i, 0.0f, 1.0f, 0.0f);
        gl.glTranslatef(-0.15f, -0.35f - 0.05f * i, 0.0f);
        rotateAboutDiagonal(set.groupAngle);
        solidCube(0.05);
        gl.glPopMatrix();
    }
    gl.glPopMatrix();
}

} // namespace

void buildObjectModels(ObjectSet& set)
{
    const float offsetX[kPondCubes] = {0.14f, 0.14f, -0.14f, -0.14f};
    const float offsetZ[kPondCubes] = {0.14f, -0.14f, 0.14f, -0.14f};
    set.groupAngle = 0.0f;
    for (int i = 0; i < kPondCubes; ++i) {
        set.pondSpin[i] = static_cast<float>(random(360));
        set.pondOffsetX[i] = offsetX[i];
        set.pondOffsetZ[i] = offsetZ[i];
        randomColour(set.pondColour[i]);
    }
    for (int i = 0; i < kExhibitItems; ++i) {
        set.showcaseAngle[i] = static_cast<float>(random(360));
        randomColour(set.exhibitColour[i]);
    }
    set.pondBasinList = compileModel(pondBasinModel);
    set.pedestalList = compileModel(pedestalModel);
    set.showcaseBaseList = compileModel(showcaseBaseModel);
    set.benchList = compileModel(benchModel);
}

void turnExhibits(ObjectSet& set)
{
    float* angles[5] = {&set.groupAngle, &set.pondSpin[0], &set.pondSpin[1], &set.pondSpin[2], &set.pondSpin[3]};
    for (float* angle : angles) {
        *angle += kTurnPerStep;
        if (*angle >= 360.0f) *angle -= 360.0f;
    }
}

void drawCubePond(const ObjectSet& set, float x, float z)
{
    gl.glPushMatrix();
    gl.glTranslatef(x, 0.0f, z);
    gl.glPushMatrix();
    gl.glRotatef(set.groupAngle, 0.0f, 1.0f, 0.0f);
    // The cubes hover just above the water and circle the pond's centre.
    for (int i = 0; i < kPondCubes; ++i) {
        gl.glPushMatrix();
        material(set.pondColour[i]);
        gl.glTranslatef(set.pondOffsetX[i], -0.2f, set.pondOffsetZ[i]);
        rotateAboutDiagonal(set.pondSpin[i]);
        solidCube(0.1);
        gl.glPopMatrix();
    }
    gl.glPopMatrix();
    gl.glCallList(set.pondBasinList);
    gl.glPopMatrix();
}

void drawBench(const ObjectSet& set, float x, float z)
{
    gl.glPushMatrix();
    gl.glTranslatef(x, 0.0f, z);
    gl.glCallList(set.benchList);
    gl.glPopMatrix();
}

void drawShowcase(const ObjectSet& set, float x, float z)
{
    gl.glPushMatrix();
    gl.glTranslatef(x, 0.0f, z);
    gl.glPushMatrix();
    gl.glTranslatef(0.0f, -0.55f, 0.0f);
    // An upright ring of ten cubes that tumbles as a whole.
    for (int i = 0; i < kExhibitItems; ++i) {
        gl.glPushMatrix();
        rotateAboutDiagonal(set.groupAngle);
        gl.glPushMatrix();
        material(set.exhibitColour[i]);
        gl.glRotatef(36.0f * i, 0.0f, 0.0f, 1.0f);
        gl.glTranslatef(0.0f, -0.3f, 0.0f);
        rotateAboutDiagonal(set.showcaseAngle[i]);
        solidCube(0.08);
        gl.glPopMatrix();
        gl.glPopMatrix();
    }
    gl.glPopMatrix();
    gl.glCallList(set.showcaseBaseList);
    gl.glPopMatrix();
}

void drawShowcaseGlass(const ObjectSet&, float x, float z)
{
    gl.glPushMatrix();
    gl.glTranslatef(x, 0.0f, z);
    gl.glDisable(GL_LIGHTING);
    gl.glColor4f(0.3f, 0.0f, 1.0f, 0.3f);
    gl.glBegin(GL_QUADS);
    // +z
    gl.glVertex3f(-0.4f, -0.8f, 0.4f);
    gl.glVertex3f(0.4f, -0.8f, 0.4f);
    gl.glVertex3f(0.4f, -0.2f, 0.4f);
    gl.glVertex3f(-0.4f, -0.2f, 0.4f);
    // -z
    gl.glVertex3f(0.4f, -0.8f, -0.4f);
    gl.glVertex3f(-0.4f, -0.8f, -0.4f);
    gl.glVertex3f(-0.4f, -0.2f, -0.4f);
    gl.glVertex3f(0.4f, -0.2f, -0.4f);
    // -x
    gl.glVertex3f(-0.4f, -0.8f, -0.4f);
    gl.glVertex3f(-0.4f, -0.8f, 0.4f);
    gl.glVertex3f(-0.4f, -0.2f, 0.4f);
    gl.glVertex3f(-0.4f, -0.2f, -0.4f);
    // +x
    gl.glVertex3f(0.4f, -0.8f, 0.4f);
    gl.glVertex3f(0.4f, -0.8f, -0.4f);
    gl.glVertex3f(0.4f, -0.2f, -0.4f);
    gl.glVertex3f(0.4f, -0.2f, 0.4f);
    gl.glEnd();
    gl.glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gl.glEnable(GL_LIGHTING);
    gl.glPopMatrix();
}

void drawSculpture(const ObjectSet& set, float x, float z, int variant)
{
    gl.glPushMatrix();
    gl.glTranslatef(x, 0.0f, z);
    if (variant == 0)
        drawThreeCubes(set);
    else if (variant == 1)
        drawSphereWithOrbits(set);
    else
        drawSpiral(set);
    gl.glCallList(set.pedestalList);
    gl.glPopMatrix();
}

void drawObjects(const ObjectSet& set, const VisibleCells* cells)
{
    gl.glDisable(GL_TEXTURE_2D);
    int variant = 0;
    for (int r = 0; r < kPlanRows; ++r) {
        for (int c = 0; c < kPlanColumns; ++c) {
            const float x = c + 0.5f, z = r + 0.5f;
            const bool sent = !cells || cellSent(*cells, planIndex(r, c));
            const uint8_t kind = walkMap[planIndex(r, c)];
            if (!sent) {
                if (kind == kSculpture) variant = (variant + 1) % 3;
                continue;
            }
            switch (kind) {
            case kCubePond: drawCubePond(set, x, z); break;
            case kBench: drawBench(set, x, z); break;
            case kShowcase: drawShowcase(set, x, z); break;
            case kSculpture:
                drawSculpture(set, x, z, variant);
                variant = (variant + 1) % 3;
                break;
            default: break;
            }
        }
    }
    // The glass goes over everything opaque and writes no depth, so it never
    // hides what stands behind it.
    gl.glDepthMask(GL_FALSE);
    for (int r = 0; r < kPlanRows; ++r)
        for (int c = 0; c < kPlanColumns; ++c)
            if (walkMap[planIndex(r, c)] == kShowcase && (!cells || cellSent(*cells, planIndex(r, c))))
                drawShowcaseGlass(set, c + 0.5f, r + 0.5f);
    gl.glDepthMask(GL_TRUE);
    gl.glEnable(GL_TEXTURE_2D);
}
