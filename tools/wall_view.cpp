// The museum seen from the walk's nearest point before one picture, at the
// screen's own size: the pictures of the docs/ screenshots of a close wall
// and its plaques.
//
// Usage: vellamir_wall_view OUTPUT.ppm SLOT MUSEUM_TYPE PICTURE...
//   SLOT      the slot stood before (0..89; with N pictures, slot s shows picture s % N)
//   MUSEUM_TYPE  the museum type (0 random, 1..21)
//   PICTURE   the pictures listed, in order (files or folders)
// Every other setting is the default one ("Screen size" mode, full screen,
// plaques on); the settings file is not read. The Windows directory ($WINDIR,
// ...) must hold the saver's data. Run it on an X server of the screen size
// wanted (xvfb-run -s "-screen 0 1920x1080x24").
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
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
    if (argc < 5) {
        fprintf(stderr, "Usage: vellamir_wall_view OUTPUT.ppm SLOT MUSEUM_TYPE PICTURE...\n");
        return 2;
    }
    const int slot = atoi(argv[2]);
    if (slot < 0 || slot >= kPictureSlots) return 2;
    seedRandom(1);
    std::string reason;
    if (enterWindowsDirectory(&reason) != 0) {
        fprintf(stderr, "vellamir_wall_view: %s\n", reason.c_str());
        return 1;
    }
    useScreenSizeSettings();
    settings.pictureCount = 0;
    settings.museumType = static_cast<int16_t>(atoi(argv[3]));
    for (int i = 4; i < argc && settings.pictureCount < kMaxPictures; ++i)
        settings.pictures[settings.pictureCount++] = argv[i];
    prepareSaverRun();
    finishPictureLoading(*saverRun.museum);

    // Half a cell before the wall (the slot floats 0.02 off it), a little to
    // the side of the plaque, looking squarely at the wall.
    Museum& museum = *saverRun.museum;
    const float* x = museum.cornerX + slot * 4;
    const float* z = museum.cornerZ + slot * 4;
    const float rightX = x[0] - x[1], rightZ = z[0] - z[1];
    const float width = std::sqrt(rightX * rightX + rightZ * rightZ);
    const float normalX = rightZ / width, normalZ = -rightX / width;
    museum.camera.eye[0] = (x[0] + x[2]) * 0.5f + normalX * 0.48f + rightX / width * 0.12f;
    museum.camera.eye[2] = (z[0] + z[2]) * 0.5f + normalZ * 0.48f + rightZ / width * 0.12f;
    museum.camera.heading = std::atan2(normalX, normalZ) * 180.0f / 3.14f;
    updateLookTarget(museum, museum.camera.heading);

    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScene();
    gl.glFinish();
    GLint viewport[4];
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    const int w = viewport[2], h = viewport[3];
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(viewport[0], viewport[1], w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    FILE* out = fopen(argv[1], "wb");
    if (!out) return 1;
    fprintf(out, "P6\n%d %d\n255\n", w, h);
    for (int y = h - 1; y >= 0; --y) fwrite(&rgb[static_cast<size_t>(y) * w * 3], 1, static_cast<size_t>(w) * 3, out);
    fclose(out);
    frameworkShutdown();
    finishSaverRun();
    printf("Saved %s (%d x %d)\n", argv[1], w, h);
    return 0;
}
