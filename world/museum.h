// The Museum record: the walking camera followed by the 90 hung pictures,
// with the camera's steps and the hanging of the pictures.
//
// World units: one per floor-plan cell, x along the columns, z along the rows,
// y down (floor 0, ceiling -1, eye -0.5). Angles in degrees: heading 0 looks
// towards -z, 90 towards -x, 180 towards +z, 270 towards +x.
#pragma once

#include <cstdint>

// ---- The record ----------------------------------------------------------------------

constexpr int kPictureSlots = 90;                      // hung pictures, always all of them
constexpr int kPictureCorners = kPictureSlots * 4;     // corner entries per coordinate
constexpr int kNotTurning = 90;                        // turnProgress while walking straight

// A slot is 0.6 units along its longer side. A framed picture fills it with
// its moulding (kFrameBar wide) and a mat (kMatWidth) around the photo; on a
// slot too narrow for them both shrink to a fifth of its shorter side.
constexpr float kSlotSide = 0.6f;
constexpr float kFrameBar = 0.04f;
constexpr float kMatWidth = 0.04f;
constexpr int kFrameStyles = 4;                        // gilded, dark wood, black, pale oak
constexpr uint8_t kMatColour[3] = {238, 233, 220};     // the mat's light card; a photo's transparency shows it
// A plaque hangs beside its frame's right edge, kPlaqueGap from it, its
// bottom level with the frame's, and stays kPlaqueEdgeRoom short of the end of
// the wall face (one unit wide, centred on the slot).
constexpr float kPlaqueGap = 0.025f;
constexpr float kPlaqueEdgeRoom = 0.015f;

// The plaque beside a slot's frame: a card texture and its size on the wall.
struct SlotPlaque {
    uint32_t texture;          // 0: no plaque
    float width, height;       // world units
    float usedS, usedT;        // the card's share of its texture across and down
};

// The walking viewer; the leading fields of the Museum record.
struct Camera {
    float floorHeight;     // y of the floor plane: 0
    float ceilingHeight;   // y of the ceiling plane: -1
    float lookDistance;    // signed distance from eye to lookTarget along the heading: -100
    float heading;         // degrees, 0 <= heading < 360 between steps
    int32_t turnProgress;  // 90 walking; 0..75 while a turn runs (15 per step)
    float turnStep;        // degrees per step of the running turn: +-15, +-30; 0 walking
    float eye[3];          // x, y, z of the eye; y stays -0.5
    float lookTarget[3];   // the point the view is aimed at
    float walkStep;        // world units moved per step
    int16_t dirX;          // direction of travel: exactly one of dirX, dirZ is +-1,
    int16_t dirZ;          //   the other 0
};

// Picture sides of a wall block: the face the picture hangs on.
enum WallSide : int16_t {
    kSideTowardRowBefore = 1,     // faces row - 1 (the -z side)
    kSideTowardRowAfter = 2,      // faces row + 1 (the +z side)
    kSideTowardColumnAfter = 3,   // faces column + 1 (the +x side)
    kSideTowardColumnBefore = 4,  // faces column - 1 (the -x side)
};

// The process-wide museum of a saver run: built once in initScene, lives to
// the end of the process, the camera stepped once per drawn frame.
struct Museum {
    Camera camera;
    int32_t hungPictureCount;                 // pictures given to hangPictures; 0 draws none
    uint32_t pictureTexture[kPictureSlots];   // texture name of slot s (0 when none)
    float cornerX[kPictureCorners];           // corner i of slot s at [s * 4 + i];
    float cornerY[kPictureCorners];           //   corner 0 upper right, 1 upper left,
    float cornerZ[kPictureCorners];           //   2 lower left, 3 lower right seen from the room
    uint8_t frameStyle[kPictureSlots];        // 0 no frame (the picture paints its own), else 1..kFrameStyles
    float photoAspect[kPictureSlots];         // height / width of the photo in the slot's frame
    SlotPlaque plaque[kPictureSlots];         // the slot's plaque (native sizes only; texture 0 none)
};

// ---- Construction -----------------------------------------------------------------------

// Sets up the camera on a random free walkMap cell (two draws per try: column,
// then row), heading 0 (towards -z), walk step 0.1, and clears the picture
// slots. Place the objects first, so the camera never starts on one.
void constructMuseum(Museum& museum);
// A new constructed Museum, or null when there is no memory for it.
Museum* newMuseum();

// ---- The camera -------------------------------------------------------------------------

// Sets the distance walked per step (world units): 0.125 fast .. 0.025 very slow.
void setWalkStep(Museum& museum, float step);
// One step: at a cell centre decide whether to go on, turn or turn back;
// move; swing the view by one sixth of the running turn.
void stepCamera(Museum& museum);
// lookTarget := eye + lookDistance * (sin a, 0, cos a), a = heading (degrees)
// in radians with pi taken as 3.14.
void updateLookTarget(Museum& museum, float heading);
// Copy out the eye and the look target (world units).
void getEye(const Museum& museum, float* x, float* y, float* z);
void getLookTarget(const Museum& museum, float* x, float* y, float* z);

// ---- The pictures --------------------------------------------------------------------------

// Hangs the 90 slots on 90 distinct wall faces at random, pictures in list
// order repeating over the slots; each frame 0.6 units along its longer side,
// shaped by its picture's aspect ratio (height / width), 0.02 in front of the
// wall. textureNames and aspectRatios hold pictureCount entries (0..90); with
// 0 the faces are still chosen, consuming the same draws, and nothing shows.
void hangPictures(Museum& museum, const uint32_t* textureNames, const float* aspectRatios,
                  int pictureCount);
// World units of wall beside a frame shaped by aspect that its plaque may take.
float plaqueRoom(float aspectRatio);
// Gives slot a new picture: its texture, frame style and aspect ratio, the
// slot reshaped by the aspect as hangPictures shapes it, on the same face and
// centre (no draws).
void rehangSlot(Museum& museum, int slot, uint32_t textureName, float aspectRatio, int frameStyle);
