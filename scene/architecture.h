// The building and its pictures: every frame, the walls, floors and ceilings
// of the floor plan and the 90 hung pictures, as textured quads in immediate
// mode. Lighting is off and decal texturing on while they are drawn.
#pragma once

#include <cstdint>

struct Museum;
struct VisibleCells;

// ---- Every drawn frame -----------------------------------------------------------

// Three passes over the plan, row by row and column by column: the wall faces
// between a wall block and an open cell whose open side the eye is on, then
// one floor square and one ceiling square per cell that has one. Each
// texture array is indexed by the cell's value minus 1; the texture changes
// only where consecutive cells' values differ. Saves and restores the
// model-view matrix. Given the cells a frame sends, only their squares and
// the wall faces round them go, nearest first, one pass per texture.
void drawArchitecture(const Museum& museum, const uint32_t* wallTextures, const uint32_t* floorTextures,
                      const uint32_t* ceilingTextures, const VisibleCells* cells = nullptr);
// The 90 picture slots, each its own textured quad 0.02 in front of its wall,
// upright and unmirrored seen from the room, the user's photos inside their
// frames (scene/frames.h); nothing when no picture was hung, and nothing in a
// slot whose picture has not arrived yet or whose cell the frame does not send.
void drawPictures(const Museum& museum);
