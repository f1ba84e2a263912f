// The frames of the user's pictures: a bevelled moulding with a light card
// mat, the photo inside it keeping its aspect ratio; the slot's outer size is
// the frame's. A picture that paints its own frame (style 0) gets none.
#pragma once

struct Museum;

// Whether slot s may show from the camera: its cell sent by the frame being
// drawn (frameCells), the eye on the room side of its wall and the slot not
// wholly outside the view's width (a cheap test; OpenGL clips the rest).
bool slotInView(const Museum& museum, int slot);
// Forgets the display lists of an earlier OpenGL context (once per run, in setUpScene).
void forgetFrameLists();
// The frames of every hung slot with a framed picture, each a display list
// made when its slot takes its shape. Texturing is off while they are drawn
// and on again afterwards; the current colour is left white.
void drawFrames(const Museum& museum);
// The four corners (x, y, z; the slot's corner order) of the picture in slot
// s: the slot itself without a frame, else the photo's opening in the mat.
void pictureCorners(const Museum& museum, int slot, float corners[4][3]);
// The plaque of slot s beside its frame, when it has one: a card in its
// light colour shaded by its texture, just off the wall. Leaves the texture
// environment in decal mode and the current colour white.
void drawPlaque(const Museum& museum, int slot);
// The four corners of the plaque of slot s (the slot's corner order).
void plaqueCorners(const Museum& museum, int slot, float corners[4][3]);
