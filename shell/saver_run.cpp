// One saver run, from the password-picture check to the shut-down.
#include <cstdio>
#include <string>

#include "kgl/bitmap.h"
#include "kgl/errors.h"
#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include <new>

#include "platform/display.h"
#include "platform/installed_data.h"
#include "platform/msgbox.h"
#include "platform/saver_host.h"
#include "scene/objects.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "shell/prompt.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "shell/shell.h"
#include "world/floor_plan.h"
#include "world/museum.h"
#include "world/textures.h"

namespace {

[[noreturn]] void failWithLibraryError()
{
    // A host window that went away under the start-up is why the library failed.
    if (hostWindowLost()) fatalError("The window to draw in has gone.");
    // The library only knows it found no graphics; say why when it is the display.
    std::string noDisplay = noDisplayReason();
    if (!noDisplay.empty()) fprintf(stderr, "Vellamir: %s\n", noDisplay.c_str());
    fatalError(errorMessage(takeLastError()));
}

// The camera's step for a walking-speed identifier; other values keep the
// museum's own 0.1.
void setWalkingSpeed(Museum& museum, int walkingSpeedId)
{
    switch (walkingSpeedId) {
    case 900: setWalkStep(museum, 0.125f); break;
    case 901: setWalkStep(museum, 0.1f); break;
    case 902: setWalkStep(museum, 0.05f); break;
    case 903: setWalkStep(museum, 0.025f); break;
    default: break;
    }
}

} // namespace

int checkPasswordPictures()
{
    if (settings.passwordEnabled != 1) return 1;
    // Both pictures must be there before the display is touched, even when
    // the mode would only use the smaller one.
    if (!checkBitmapFile("Brevane\\pass.pag")) {
        fatalMessageBox("Fatal Error: Unable to find file pass.pag.", "Error", MessageIcon::Stop);
        explainMissingData(windowsDirectory);
        return 0;
    }
    if (!checkBitmapFile("Brevane\\pass2x.pag")) {
        fatalMessageBox("Fatal Error: Unable to find file pass2x.pag.", "Error", MessageIcon::Stop);
        explainMissingData(windowsDirectory);
        return 0;
    }
    return 1;
}

void prepareSaverRun()
{
    timerInit();
    timerStart();

    DriverOptions options = {};
    options.hardwareAccess = options.directDraw = options.vga = options.vgax = options.vbe = 1;
    options.linearFramebuffer = options.acceleration = options.fullscreenDib = options.openGL = 1;
    options.dialogByte = 0;
    options.depthFilter = kDepth8 | kDepth15And16 | kDepth24 | kDepth32;
    setDriverOptions(&options);
    setNoStaticPalette(1);

    saverRun.framework = frameworkInit("Vellamir");
    if (!saverRun.framework) failWithLibraryError();

    setGameLogicCallback(gameLogic);
    setDrawCallback(drawFrame);
    setKeyDownCallback(onKey);
    setMouseDownCallback(onMouseDown);
    setMouseMoveCallback(onMouseMove);
    setKeyRepeatCallback(onKey);
    setActivateCallback(onActivate);

    // The depth lands in the record in memory only; the file is not written
    // during a run. An invalid mode leaves all three untouched and fails the
    // switch below with the library's own message.
    int bits = settings.colourDepthId;
    getModeResolution(settings.videoMode, &saverRun.screenWidth, &saverRun.screenHeight, &bits);
    settings.colourDepthId = bits;

    ModeInfo mode = {};
    mode.mode = settings.videoMode;
    mode.xResolution = saverRun.screenWidth;
    mode.yResolution = saverRun.screenHeight;
    mode.bitsPerPixel = bits;
    mode.pageCount = 3;
    mode.stretch = 0;
    if (!setDisplayMode(&mode, 0, 3, 0)) failWithLibraryError();

    initScene();
    // A password guards the desktop: no key or click may reach another program meanwhile.
    if (settings.passwordEnabled == 1) grabInput(1);
}

void initScene()
{
    // At the screen's own size the edges are multisampled where the renderer
    // does it in hardware (the library leaves software renderers without).
    if (!startOpenGL(0x1A | (detailedLook() ? kGLMultisample : 0))) failWithLibraryError();
    saverRun.frameDelay = frameDelayFor(settings.speedId);
    saverRun.passCounter = saverRun.frameDelay;
    setUpScene();
    loadThemeTextures(settings.museumType);
    loadPictureTextures();
    setUpTextureEnvironment();

    // The records are small, but a failed allocation must end in the fatal
    // box rather than in a crash.
    saverRun.objectSet = new (std::nothrow) ObjectSet();
    if (!saverRun.objectSet) fatalError("Fatal Error: Out of memory!");
    buildObjectModels(*saverRun.objectSet);
    placeObjects();
    // The camera starts on a free cell, so the museum comes after the exhibits.
    saverRun.museum = newMuseum();
    if (!saverRun.museum) fatalError("Fatal Error: Out of memory!");
    setWalkingSpeed(*saverRun.museum, settings.walkingSpeedId);
    hangPictures(*saverRun.museum, museumTextures.pictureTextures, museumTextures.pictureAspectRatios,
                 museumTextures.pictureCount);

    loadPasswordPicture();
    hideCursor();
}

void finishSaverRun()
{
    if (settings.passwordEnabled == 1) {
        freeBitmap(saverRun.passwordPicture);
        saverRun.passwordPicture = nullptr;
    }
    wipeTypedPassword();
    showCursor();
    stopPictureLoading();
    timerStop();
    requestQuit();
    for (int i = 0; i < settings.pictureCount && i < kMaxPictures; ++i) settings.pictures[i].clear();
}

int runSaver()
{
    // Started by a screen-saver daemon, the saver draws into the daemon's
    // window and the daemon locks the screen itself: the password is off for
    // this run (in memory only; nothing writes the file during a run), so
    // there is no picture check, grab or prompt. The frame is the window's
    // own size whatever mode is stored: a preview stays cheap, a large screen
    // gets every pixel.
    uint64_t hostWindow = hostWindowFromEnvironment();
    if (hostWindow && settings.passwordEnabled == 1)
        fprintf(stderr, "Vellamir: the password is not asked for here: the screen-saver daemon's lock is in charge.\n");
    if (hostWindow) {
        settings.passwordEnabled = 0;
        settings.videoMode = kScreenSizeMode;
    }
    // A password saved by an older version may hold characters no key types
    // at the prompt: the run goes on, but whoever started it is told.
    if (settings.passwordEnabled == 1 && !passwordCanBeTyped(settings.password))
        fprintf(stderr, "Vellamir: the stored password holds characters the password prompt cannot type, so it "
                        "cannot end the saver; set a new one with \"vellamir /c\".\n");
    // A password run that cannot keep the desktop from others says so and
    // opens nothing, rather than show a prompt that guards nothing.
    if (settings.passwordEnabled == 1) {
        if (const char* refusal = displayLockRefusal()) {
            fprintf(stderr, "Vellamir: %s.\n", refusal);
            return 1;
        }
    }
    if (!checkPasswordPictures()) return 0;
    catchTerminationSignals();
    setHostWindow(hostWindow);
    prepareSaverRun();
    mainLoop();
    finishSaverRun();
    // A daemon's hack asked to stop dies by that signal once it has cleaned up.
    if (hostWindow && terminationRequested()) endByTerminationSignal();
    // The daemon ends its saver with a signal, and may take the window away
    // right after it; a window gone without that signal is a failure.
    if (terminationRequested() || !hostWindowLost()) return 0;
    fprintf(stderr, "Vellamir: the window it was drawing in has gone.\n");
    return 255;
}
