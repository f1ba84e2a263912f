// Draws one frame of the museum from a chosen place at the screen's own size
// and writes it as a binary PPM: the pictures of the look in docs/ (see
// scripts/look-pictures), the same view in the classic and the detailed look.
//
// Usage: vellamir_look_picture OUTPUT.ppm MUSEUM_TYPE LOOK ROW COLUMN HEADING [SEED]
//   LOOK     classic, detailed (as this machine's renderer gets it) or
//            hardware (detailed, with what a graphics card adds: multisampled
//            edges and anisotropic filtering, drawn here by the software renderer)
//   ROW, COLUMN  the cell whose centre the eye stands on (the walk's own places)
//   HEADING  degrees: 0 looks towards -z (up the rows), 90 towards -x
// The video mode is "Screen size" (the display's size), full screen, no fog;
// the Windows directory ($WINDIR, ...) must hold the saver's data.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
#include "platform/files.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "shell/random.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "shell/shell.h"
#include "world/museum.h"
#include "world/textures.h"

int main(int argc, char** argv)
{
    if (argc < 7) {
        fprintf(stderr, "usage: vellamir_look_picture OUTPUT.ppm MUSEUM_TYPE classic|detailed|hardware ROW COLUMN "
                        "HEADING [SEED]\n");
        return 2;
    }
    const std::string look = argv[3];
    if (look != "classic" && look != "detailed" && look != "hardware") {
        fprintf(stderr, "vellamir_look_picture: the look is classic, detailed or hardware, not %s\n", argv[3]);
        return 2;
    }
    seedRandom(static_cast<uint32_t>(argc > 7 ? strtoul(argv[7], nullptr, 10) : 1));
    std::string reason;
    if (enterWindowsDirectory(&reason) != 0) {
        fprintf(stderr, "vellamir_look_picture: %s\n", reason.c_str());
        return 1;
    }
    useScreenSizeSettings();
    settings.museumType = static_cast<int16_t>(atoi(argv[2]));
    settings.classicTextures = look == "classic" ? 1 : 0;
    settings.fogEnabled = 0;
    displayTreatAsHardware(look == "hardware" ? 1 : 0);
    prepareSaverRun();
    Museum& museum = *saverRun.museum;
    finishPictureLoading(museum);

    museum.camera.eye[0] = atoi(argv[5]) + 0.5f;
    museum.camera.eye[2] = atoi(argv[4]) + 0.5f;
    museum.camera.heading = static_cast<float>(atof(argv[6]));
    updateLookTarget(museum, museum.camera.heading);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScene();
    gl.glFinish();

    const int width = saverRun.screenWidth, height = saverRun.screenHeight;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    const bool read = displayReadFrame(rgb.data()) == 1;
    FILE* out = read ? fopen(argv[1], "wb") : nullptr;
    bool written = out != nullptr;
    if (out) {
        fprintf(out, "P6\n%d %d\n255\n", width, height);
        // OpenGL's rows come from the bottom.
        for (int y = height - 1; y >= 0; --y)
            written = written && fwrite(&rgb[static_cast<size_t>(y) * width * 3], 3, width, out) == size_t(width);
        written = fclose(out) == 0 && written;
    }
    printf("%s: %dx%d, %s look, renderer %s, %d samples per pixel, anisotropy %.0f\n", argv[1], width, height,
           look.c_str(), reinterpret_cast<const char*>(gl.glGetString(GL_RENDERER)), displayGLSamples(),
           museumTextures.anisotropy);
    frameworkShutdown();
    finishSaverRun();
    if (!written) fprintf(stderr, "vellamir_look_picture: cannot write %s\n", argv[1]);
    return written ? 0 : 1;
}
