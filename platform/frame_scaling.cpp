// The mode's frame scaled onto a screen of another size (frame_scaling.h).
#include "platform/frame_scaling.h"

#include <cstring>

#include <algorithm>

namespace {

template <typename F>
bool resolve(F& slot, void* (*procAddress)(const char*), const char* name)
{
    slot = reinterpret_cast<F>(procAddress(name));
    return slot != nullptr;
}

// The mode-sized frame the program draws into, with the depth and stencil the
// visual asks for (an accumulation buffer exists only on the window itself).
bool createFrameBuffer(ScaledFrame& d, const DisplayGLVisual& visual)
{
    PresentationGL& g = d.gl;
    g.genFramebuffers(1, &d.framebuffer);
    g.bindFramebuffer(GL_FRAMEBUFFER, d.framebuffer);
    g.genRenderbuffers(1, &d.colourBuffer);
    g.bindRenderbuffer(GL_RENDERBUFFER, d.colourBuffer);
    g.renderbufferStorage(GL_RENDERBUFFER, visual.alphaBits ? GL_RGBA8 : GL_RGB8, d.modeWidth, d.modeHeight);
    g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, d.colourBuffer);
    if (visual.depthBits || visual.stencilBits) {
        g.genRenderbuffers(1, &d.depthBuffer);
        g.bindRenderbuffer(GL_RENDERBUFFER, d.depthBuffer);
        if (visual.stencilBits) {
            g.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, d.modeWidth, d.modeHeight);
            g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, d.depthBuffer);
        } else {
            GLenum format = visual.depthBits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
            g.renderbufferStorage(GL_RENDERBUFFER, format, d.modeWidth, d.modeHeight);
            g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, d.depthBuffer);
        }
    }
    g.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (g.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        deleteFrameBuffer(d);
        return false;
    }
    return true;
}

void deleteMultisampleFrame(ScaledFrame& d)
{
    d.samples = 0;
    if (!d.multisampleFramebuffer) return;
    d.gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    d.gl.deleteFramebuffers(1, &d.multisampleFramebuffer);
    GLuint buffers[] = {d.multisampleColour, d.multisampleDepth};
    d.gl.deleteRenderbuffers(d.multisampleDepth ? 2 : 1, buffers);
    d.multisampleFramebuffer = d.multisampleColour = d.multisampleDepth = 0;
}

// The multisampled frame the program draws into, with the visual's depth and
// stencil: the samples asked for, at most what the renderer offers.
bool createMultisampleFrame(ScaledFrame& d, const DisplayGLVisual& visual)
{
    PresentationGL& g = d.gl;
    GLint most = 0;
    g.getIntegerv(GL_MAX_SAMPLES, &most);
    const int samples = std::min(visual.samples, static_cast<int>(most));
    if (samples < 2) return false;
    g.genFramebuffers(1, &d.multisampleFramebuffer);
    g.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer);
    g.genRenderbuffers(1, &d.multisampleColour);
    g.bindRenderbuffer(GL_RENDERBUFFER, d.multisampleColour);
    g.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, visual.alphaBits ? GL_RGBA8 : GL_RGB8, d.modeWidth,
                                     d.modeHeight);
    g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, d.multisampleColour);
    if (visual.depthBits || visual.stencilBits) {
        g.genRenderbuffers(1, &d.multisampleDepth);
        g.bindRenderbuffer(GL_RENDERBUFFER, d.multisampleDepth);
        const GLenum format = visual.stencilBits ? GL_DEPTH24_STENCIL8
                              : visual.depthBits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
        g.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, d.modeWidth, d.modeHeight);
        g.framebufferRenderbuffer(GL_FRAMEBUFFER, visual.stencilBits ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, d.multisampleDepth);
    }
    g.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (g.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        deleteMultisampleFrame(d);
        return false;
    }
    d.samples = samples;
    return true;
}

// The multisampled frame's samples averaged into the single-sampled frame,
// the multisampled one bound again for the program afterwards.
void resolveMultisampleFrame(ScaledFrame& d)
{
    PresentationGL& g = d.gl;
    GLint scissorBox[4];
    g.getIntegerv(GL_SCISSOR_BOX, scissorBox);
    const GLboolean scissorOn = g.isEnabled(GL_SCISSOR_TEST);
    g.disable(GL_SCISSOR_TEST);
    g.bindFramebuffer(GL_READ_FRAMEBUFFER, d.multisampleFramebuffer);
    g.bindFramebuffer(GL_DRAW_FRAMEBUFFER, d.framebuffer);
    g.blitFramebuffer(0, 0, d.modeWidth, d.modeHeight, 0, 0, d.modeWidth, d.modeHeight, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    g.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer);
    if (scissorOn) g.enable(GL_SCISSOR_TEST);
    g.scissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
}

// Set by displayTreatAsHardware: software renderers get what hardware gets.
int treatAsHardware = 0;

} // namespace

void placeFrame(ScaledFrame& d)
{
    long long sw = d.screenWidth, sh = d.screenHeight, mw = d.modeWidth, mh = d.modeHeight;
    if (mw <= 0 || mh <= 0) return;
    if (sw * mh <= sh * mw) {
        d.frameWidth = static_cast<int>(sw);
        d.frameHeight = static_cast<int>(mh * sw / mw);
    } else {
        d.frameWidth = static_cast<int>(mw * sh / mh);
        d.frameHeight = static_cast<int>(sh);
    }
    d.frameX = (d.screenWidth - d.frameWidth) / 2;
    d.frameY = (d.screenHeight - d.frameHeight) / 2;
}

void screenToFrame(const ScaledFrame& d, int screenX, int screenY, int* frameX, int* frameY)
{
    if (d.frameWidth <= 0 || d.frameHeight <= 0) {
        *frameX = screenX;
        *frameY = screenY;
        return;
    }
    long long x = static_cast<long long>(screenX - d.frameX) * d.modeWidth / d.frameWidth;
    long long y = static_cast<long long>(screenY - d.frameY) * d.modeHeight / d.frameHeight;
    *frameX = static_cast<int>(x < 0 ? 0 : x >= d.modeWidth ? d.modeWidth - 1 : x);
    *frameY = static_cast<int>(y < 0 ? 0 : y >= d.modeHeight ? d.modeHeight - 1 : y);
}

void besideFrame(const ScaledFrame& d, double screenX, double screenY, int* frameX, int* frameY)
{
    if (d.frameWidth <= 0 || d.frameHeight <= 0) {
        *frameX = static_cast<int>(screenX);
        *frameY = static_cast<int>(screenY);
        return;
    }
    *frameX = static_cast<int>((screenX - d.frameX) * d.modeWidth / d.frameWidth);
    *frameY = static_cast<int>((screenY - d.frameY) * d.modeHeight / d.frameHeight);
}

bool resolvePresentationGL(PresentationGL& g, void* (*procAddress)(const char*), bool framebuffersOffered)
{
    g = PresentationGL();
    bool basics = resolve(g.clear, procAddress, "glClear") & resolve(g.clearColor, procAddress, "glClearColor") &
                  resolve(g.getFloatv, procAddress, "glGetFloatv") &
                  resolve(g.getIntegerv, procAddress, "glGetIntegerv") &
                  resolve(g.isEnabled, procAddress, "glIsEnabled") & resolve(g.enable, procAddress, "glEnable") &
                  resolve(g.disable, procAddress, "glDisable") & resolve(g.scissor, procAddress, "glScissor") &
                  resolve(g.viewport, procAddress, "glViewport");
    basics = basics & resolve(g.getString, procAddress, "glGetString") &
             resolve(g.readPixels, procAddress, "glReadPixels") & resolve(g.pixelStorei, procAddress, "glPixelStorei");
    bool framebuffers = framebuffersOffered && resolve(g.genFramebuffers, procAddress, "glGenFramebuffers") &
                        resolve(g.deleteFramebuffers, procAddress, "glDeleteFramebuffers") &
                        resolve(g.bindFramebuffer, procAddress, "glBindFramebuffer") &
                        resolve(g.genRenderbuffers, procAddress, "glGenRenderbuffers") &
                        resolve(g.deleteRenderbuffers, procAddress, "glDeleteRenderbuffers") &
                        resolve(g.bindRenderbuffer, procAddress, "glBindRenderbuffer") &
                        resolve(g.renderbufferStorage, procAddress, "glRenderbufferStorage") &
                        resolve(g.framebufferRenderbuffer, procAddress, "glFramebufferRenderbuffer") &
                        resolve(g.checkFramebufferStatus, procAddress, "glCheckFramebufferStatus") &
                        resolve(g.blitFramebuffer, procAddress, "glBlitFramebuffer");
    if (!framebuffers) g.genFramebuffers = nullptr;
    if (!framebuffers || !resolve(g.renderbufferStorageMultisample, procAddress, "glRenderbufferStorageMultisample"))
        g.renderbufferStorageMultisample = nullptr;
    return basics;
}

void prepareFrame(ScaledFrame& d, const DisplayGLVisual& visual, bool alwaysScaled)
{
    const bool multisample = visual.samples > 1 && d.gl.renderbufferStorageMultisample && !drawnInSoftware(d);
    const bool screenSized = !alwaysScaled && d.modeWidth == d.screenWidth && d.modeHeight == d.screenHeight;
    if ((!screenSized || multisample) && d.gl.genFramebuffers && createFrameBuffer(d, visual) && multisample &&
        !createMultisampleFrame(d, visual)) {
        // Without its multisampled frame a frame of the screen's size goes straight to the window again.
        if (screenSized)
            deleteFrameBuffer(d);
        else
            d.gl.bindFramebuffer(GL_FRAMEBUFFER, d.framebuffer);
    }
    if (!screenSized && !d.framebuffer) {
        // Without framebuffer objects the frame is drawn unscaled into the window's lower-left corner.
        d.frameX = 0;
        d.frameY = d.screenHeight - d.modeHeight;
        d.frameWidth = d.modeWidth;
        d.frameHeight = d.modeHeight;
    }
    // A new context's viewport is the window's; the program draws into the mode's frame.
    d.gl.viewport(0, 0, d.modeWidth, d.modeHeight);
    d.gl.scissor(0, 0, d.modeWidth, d.modeHeight);
}

void deleteFrameBuffer(ScaledFrame& d)
{
    deleteMultisampleFrame(d);
    if (!d.framebuffer) return;
    d.gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    d.gl.deleteFramebuffers(1, &d.framebuffer);
    GLuint buffers[] = {d.colourBuffer, d.depthBuffer};
    d.gl.deleteRenderbuffers(d.depthBuffer ? 2 : 1, buffers);
    d.framebuffer = d.colourBuffer = d.depthBuffer = 0;
}

void forgetFrameBuffer(ScaledFrame& d)
{
    d.framebuffer = d.colourBuffer = d.depthBuffer = 0;
    d.multisampleFramebuffer = d.multisampleColour = d.multisampleDepth = 0;
    d.samples = 0;
}

void presentFrame(ScaledFrame& d, void (*swap)())
{
    if (!d.framebuffer) {
        swap();
        return;
    }
    if (d.multisampleFramebuffer) resolveMultisampleFrame(d);
    PresentationGL& g = d.gl;
    GLfloat clearColour[4];
    GLint scissorBox[4];
    g.getFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    g.getIntegerv(GL_SCISSOR_BOX, scissorBox);
    GLboolean scissorOn = g.isEnabled(GL_SCISSOR_TEST);

    g.bindFramebuffer(GL_READ_FRAMEBUFFER, d.framebuffer);
    g.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    g.disable(GL_SCISSOR_TEST);
    int bottom = d.screenHeight - d.frameY - d.frameHeight;   // OpenGL counts rows from the bottom
    g.blitFramebuffer(0, 0, d.modeWidth, d.modeHeight, d.frameX, bottom, d.frameX + d.frameWidth,
                      bottom + d.frameHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);

    // The back buffer holds no promise about earlier frames, so the bars are painted every time.
    g.clearColor(0, 0, 0, 0);
    g.enable(GL_SCISSOR_TEST);
    if (d.frameX > 0) {
        g.scissor(0, 0, d.frameX, d.screenHeight);
        g.clear(GL_COLOR_BUFFER_BIT);
        g.scissor(d.frameX + d.frameWidth, 0, d.screenWidth - d.frameX - d.frameWidth, d.screenHeight);
        g.clear(GL_COLOR_BUFFER_BIT);
    }
    if (d.frameY > 0) {
        g.scissor(0, 0, d.screenWidth, bottom);
        g.clear(GL_COLOR_BUFFER_BIT);
        g.scissor(0, bottom + d.frameHeight, d.screenWidth, d.screenHeight - bottom - d.frameHeight);
        g.clear(GL_COLOR_BUFFER_BIT);
    }

    swap();

    g.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer ? d.multisampleFramebuffer : d.framebuffer);
    g.clearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    g.scissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (!scissorOn) g.disable(GL_SCISSOR_TEST);
}

bool drawnInSoftware(const ScaledFrame& d)
{
    if (treatAsHardware || !d.gl.getString) return false;
    const char* name = reinterpret_cast<const char*>(d.gl.getString(GL_RENDERER));
    if (!name) return false;
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "lavapipe"})
        if (strcasestr(name, software)) return true;
    return false;
}

bool readFrame(ScaledFrame& d, uint8_t* rgb)
{
    PresentationGL& g = d.gl;
    if (!g.readPixels || !g.pixelStorei) return false;
    if (d.multisampleFramebuffer) {
        resolveMultisampleFrame(d);
        g.bindFramebuffer(GL_READ_FRAMEBUFFER, d.framebuffer);
    }
    GLint packAlignment = 4;
    g.getIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    g.pixelStorei(GL_PACK_ALIGNMENT, 1);
    g.readPixels(0, 0, d.modeWidth, d.modeHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    g.pixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    if (d.multisampleFramebuffer) g.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer);
    return true;
}

void displayTreatAsHardware(int treat)
{
    treatAsHardware = treat ? 1 : 0;
}
