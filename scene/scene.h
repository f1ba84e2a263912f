// The scene: the OpenGL state a run sets once, and the drawing of one frame.
#pragma once

#include "visibility/visibility.h"

// ---- Once per run ----------------------------------------------------------------

// The fixed state, right after OpenGL has started and before any texture:
// the centred display window as viewport, black clear colour, smooth
// shading, depth test, back faces culled, one directional light from the top
// of the screen, the projection (84 degrees, near 0.2, far 12 cells), alpha
// blending, and the fog of the settings.
void setUpScene();

// After the textures: decal mode (textured surfaces show the texture's own
// colours, whatever the current colour and the light) and 2-D texturing on.
void setUpTextureEnvironment();

// The fog colour of the settings: each 0..255 channel times 1/265, alpha 1.
void fogColour(float colour[4]);
// The projection's aspect ratio: the display window's width over its height.
double sceneAspect();

// ---- Every drawn frame ---------------------------------------------------------------

// The projection's vertical angle of view (degrees), its near and far planes (world units).
constexpr double kFieldOfView = 84.0;
constexpr double kNearPlane = 0.2;
constexpr double kFarPlane = 12.0;

// The cells the frame being drawn sends: what the camera can see (everything
// while culling is off, or before the first frame). Owned by the scene,
// filled by drawScene at the start of every frame.
extern VisibleCells frameCells;
// Finds the cells the museum's camera can see and keeps those within its view.
void findFrameCells(const struct Museum& museum, VisibleCells& cells);

// Draws the museum into the current viewport (after the frame's clear): the
// view from the run's camera, the architecture and pictures unlit, the
// exhibits lit, only the cells the camera can see (frameCells); then flushes. A run without a museum or exhibits (some tests
// prepare one) draws only what it has.
void drawScene();
// The same with the cells given (they become frameCells): the tests' way to
// compare a frame sending everything with one sending only what is seen.
void drawSceneSending(const VisibleCells& cells);
