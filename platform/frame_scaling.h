// The mode's frame on a screen of another size, shared by both display hosts:
// the frame is drawn at the mode's own size into an OpenGL framebuffer object
// and copied at each present, with nearest filtering, into the largest
// rectangle of the mode's aspect ratio, black bars around it. When the mode
// is the screen's own size the program draws straight into the window.
// Multisampled edges, where the visual asks for them and the renderer draws
// in hardware, take a multisampled frame of the mode's size that each present
// resolves into the one it shows first. Only platform/ includes this.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

#include "platform/display.h"

// The OpenGL calls the presentation needs, resolved from the same library the program's table comes from.
struct PresentationGL {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;   // null when framebuffer objects are not offered
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample;   // null without framebuffer objects
    const GLubyte* (*getString)(GLenum);
    void (*readPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
    void (*pixelStorei)(GLenum, GLint);
    void (*clear)(GLbitfield);
    void (*clearColor)(GLclampf, GLclampf, GLclampf, GLclampf);
    void (*getFloatv)(GLenum, GLfloat*);
    void (*getIntegerv)(GLenum, GLint*);
    GLboolean (*isEnabled)(GLenum);
    void (*enable)(GLenum);
    void (*disable)(GLenum);
    void (*scissor)(GLint, GLint, GLsizei, GLsizei);
    void (*viewport)(GLint, GLint, GLsizei, GLsizei);
};

// The frame of one window: sizes in pixels, the rectangle with a top-left origin.
struct ScaledFrame {
    int modeWidth = 0, modeHeight = 0;
    int screenWidth = 0, screenHeight = 0;
    int frameX = 0, frameY = 0, frameWidth = 0, frameHeight = 0;
    PresentationGL gl = {};
    GLuint framebuffer = 0, colourBuffer = 0, depthBuffer = 0;   // 0: drawing straight to the window
    int samples = 0;                                              // of the multisampled frame; 0 without
    GLuint multisampleFramebuffer = 0, multisampleColour = 0, multisampleDepth = 0;
};

// Places the frame: the largest rectangle of the mode's aspect ratio on the screen, centred.
void placeFrame(ScaledFrame& frame);
// A window position (screen pixels) as a pixel of the mode's frame, clamped into it.
void screenToFrame(const ScaledFrame& frame, int screenX, int screenY, int* frameX, int* frameY);
// A position beside the frame (screen pixels, off the window maybe: the
// pointer over another monitor's black cover) in the frame's pixels, not held
// to the frame, so a motion there counts as one over the museum does.
void besideFrame(const ScaledFrame& frame, double screenX, double screenY, int* frameX, int* frameY);
// Resolves the calls through procAddress; framebuffer objects only when
// offered. False when a basic call is missing.
bool resolvePresentationGL(PresentationGL& gl, void* (*procAddress)(const char*), bool framebuffersOffered);
// After a new context: the mode-sized frame buffer when the screen is not the
// mode's size (or always, with alwaysScaled), else nothing; without framebuffer
// objects the frame is drawn unscaled into the lower-left corner. With the
// visual's samples (more than 1) and a hardware renderer, the multisampled
// frame beside it, which the program then draws into. The viewport and
// scissor box are set to the mode's frame.
void prepareFrame(ScaledFrame& frame, const DisplayGLVisual& visual, bool alwaysScaled);
// Deletes the frame buffers, with the context current; harmless without them.
void deleteFrameBuffer(ScaledFrame& frame);
// Forgets the frame buffers whose context has gone with its drawable.
void forgetFrameBuffer(ScaledFrame& frame);
// Shows the frame: through swap, after resolving the multisampled frame and
// copying the frame buffer into its rectangle, painting the bars black, when
// there is one; every state the copy touches is left as the program had it.
void presentFrame(ScaledFrame& frame, void (*swap)());

// Whether the frame's context is drawn by one of Mesa's software renderers
// (llvmpipe, softpipe, swrast, also under zink), unless displayTreatAsHardware says otherwise.
bool drawnInSoftware(const ScaledFrame& frame);
// The frame drawn so far into rgb (mode width x height, 3 bytes a pixel, rows
// from the bottom), the multisampled one resolved first. False without the calls.
bool readFrame(ScaledFrame& frame, uint8_t* rgb);
