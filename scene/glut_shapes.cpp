// GLUT's solid cube and sphere, the only shapes the program does not build
// itself. freeglut draws them through the same OpenGL library and context as
// the rest of the scene; it needs its own start once but no window of its own.
#include <GL/freeglut.h>

#include "scene/objects.h"

namespace {

// GLUT keeps a connection to the display of its own from its start to releaseShapes.
bool started = false;

void startGLUT()
{
    if (started) return;
    started = true;
    int argc = 1;
    char name[] = "vellamir";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
}

} // namespace

void solidCube(double edge)
{
    startGLUT();
    glutSolidCube(edge);
}

void solidSphere(double radius, int slices, int stacks)
{
    startGLUT();
    glutSolidSphere(radius, slices, stacks);
}

void releaseShapes()
{
    if (!started) return;
    glutExit();
    started = false;
}
