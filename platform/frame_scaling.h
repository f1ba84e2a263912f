// The mode's frame on a screen of another size, shared by both display hosts:
// the frame is drawn at the mode's own size into an OpenGL framebuffer object
// and copied at each present, with nearest filtering, into the largest
// rectangle of the mode's aspect ratio, black bars around it. When the mode
// is the screen's own size the program draws straight into the window. Only
// platform/ includes this.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

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
};

// Places the frame: the largest rectangle of the mode's aspect ratio on the screen, centred.
void placeFrame(ScaledFrame& frame);
// A window position (screen pixels) as a pixel of the mode's frame, clamped into it.
void screenToFrame(const ScaledFrame& frame, int screenX, int screenY, int* frameX, int* frameY);
// Resolves the calls through procAddress; framebuffer objects only when
// offered. False when a basic call is missing.
bool resolvePresentationGL(PresentationGL& gl, void* (*procAddress)(const char*), bool framebuffersOffered);
// After a new context: the mode-sized frame buffer when the screen is not the
// mode's size (or always, with alwaysScaled), else nothing; without framebuffer
// objects the frame is drawn unscaled into the lower-left corner. The viewport
// and scissor box are set to the mode's frame.
void prepareFrame(ScaledFrame& frame, const DisplayGLVisual& visual, bool alwaysScaled);
// Deletes the frame buffer, with the context current; harmless without one.
void deleteFrameBuffer(ScaledFrame& frame);
// Forgets the frame buffer whose context has gone with its drawable.
void forgetFrameBuffer(ScaledFrame& frame);
// Shows the frame: through swap, after copying the frame buffer into its
// rectangle and painting the bars black when there is one; every state the
// copy touches is left as the program had it.
void presentFrame(ScaledFrame& frame, void (*swap)());
