// The exhibits: their shared record of angles, colours and compiled models,
// built once per run, and the drawing of every placed exhibit each frame.
//
// Models are in world units around the cell centre, standing on the floor
// (y = 0) and rising into negative y. Angles are in degrees.
#pragma once

#include <cstdint>

struct VisibleCells;

// ---- The record ----------------------------------------------------------------------

constexpr int kPondCubes = 4;
constexpr int kExhibitItems = 10;

// 83 consecutive 32-bit fields. One instance per run, owned by the shell
// (saverRun.objectSet): allocated and built by initScene, kept to the end of
// the process; only the five angles of fields 0..4 change, once per world step.
struct ObjectSet {
    float groupAngle;                            // 0: turns every animated exhibit
    float pondSpin[kPondCubes];                  // 1..4: each pond cube's tumble
    float pondOffsetX[kPondCubes];               // 5..8: 0.14, 0.14, -0.14, -0.14
    float pondOffsetZ[kPondCubes];               // 9..12: 0.14, -0.14, 0.14, -0.14
    float pondColour[kPondCubes][4];             // 13..28: RGBA
    float showcaseAngle[kExhibitItems];          // 29..38: each showcase item's tumble
    float exhibitColour[kExhibitItems][4];       // 39..78: RGBA
    uint32_t pondBasinList;                      // 79: display lists of the four static models
    uint32_t pedestalList;                       // 80
    uint32_t showcaseBaseList;                   // 81
    uint32_t benchList;                          // 82
};
static_assert(sizeof(ObjectSet) == 83 * 4, "the record is 83 fields of 32 bits");

// ---- Building (once per run, with a current OpenGL context) ------------------------

// Group angle 0; per pond cube its spin and colour, per showcase item its
// angle and colour, drawn from nextRandom in that order (angles 0..359,
// channels 0.1..1.0, alpha 1); then the four models compiled into display lists.
void buildObjectModels(ObjectSet& set);
// Advances the five animation angles by 5 degrees each, staying below 360.
void turnExhibits(ObjectSet& set);

// ---- Drawing (each frame, lighting on, the view on the model-view matrix) ---------

// Every exhibit of walkMap in row-major order, untextured, then the showcase
// glass without depth writes; returns with texturing and depth writes on.
// Sculptures take variants 0, 1, 2, 0, ... in that order, counted over every
// cell, so a sculpture keeps its variant whether the frame sends the cells
// before it or not. Given the cells a frame sends, only their exhibits go.
void drawObjects(const ObjectSet& set, const VisibleCells* cells = nullptr);
// One exhibit on the cell centred at x, z (world units).
void drawCubePond(const ObjectSet& set, float x, float z);
void drawBench(const ObjectSet& set, float x, float z);
void drawShowcase(const ObjectSet& set, float x, float z);
void drawShowcaseGlass(const ObjectSet& set, float x, float z);
// variant 0: three tumbling cubes; 1: a sphere with two orbiting cubes; 2: a spiral of ten cubes.
void drawSculpture(const ObjectSet& set, float x, float z, int variant);

// ---- The static models (plain data, object_model_tables.cpp) ------------------------

// One vertex of a model and the colour call sent before it, if any.
struct ModelVertex {
    int8_t colourCall;     // 0 none, 3 glColor3f(r, g, b), 4 glColor4f(r, g, b, a)
    float r, g, b, a;
    float x, y, z;
};

// A model of quads, four vertices each, counter-clockwise seen from outside.
struct ModelTable {
    const ModelVertex* vertices;
    int quadCount;
    bool beginPerQuad;     // each quad in a glBegin .. glEnd of its own
    bool whiteAfter;       // glColor4f(1, 1, 1, 1) after the quads
};

extern const ModelTable pondBasinModel;      // basin 0.9 wide at the floor, 0.8 at its rim, water inside
extern const ModelTable pedestalModel;       // block 0.4 x 0.4, 0.3 high
extern const ModelTable showcaseBaseModel;   // block 0.8 x 0.8, 0.2 high, white top
extern const ModelTable benchModel;          // seat 1.0 x 0.2 at height 0.3 on two end blocks

// ---- The solid shapes, as GLUT draws them (shapes.cpp) --------------------------------

// A cube of the given edge centred at the origin, with face normals.
void solidCube(double edge);
// A sphere centred at the origin, with smooth normals: slices around the z axis, stacks from pole to pole.
void solidSphere(double radius, int slices, int stacks);
