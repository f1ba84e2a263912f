#include "shell/run_state.h"

#include "settings/settings.h"
#include "shell/random.h"

SaverRun saverRun;

int displayWindowWidth()
{
    return static_cast<int>(saverRun.screenWidth * settings.displayScale);
}

int displayWindowHeight()
{
    return static_cast<int>(saverRun.screenHeight * settings.displayScale);
}

DisplayWindow centredDisplayWindow()
{
    float scale = settings.displayScale;
    DisplayWindow window;
    window.width = displayWindowWidth();
    window.height = displayWindowHeight();
    window.x = static_cast<int>((saverRun.screenWidth - saverRun.screenWidth * scale) * 0.5f);
    window.y = static_cast<int>((saverRun.screenHeight - saverRun.screenHeight * scale) * 0.5f);
    return window;
}

DisplayWindow movedDisplayWindow()
{
    DisplayWindow window;
    window.width = displayWindowWidth();
    window.height = displayWindowHeight();
    // A settings record whose scale fills the screen outside Full Screen
    // leaves no room: the window then stays in the corner instead of
    // dividing by zero.
    int roomX = saverRun.screenWidth - window.width;
    int roomY = saverRun.screenHeight - window.height;
    window.x = roomX > 0 ? nextRandom() % roomX : 0;
    window.y = roomY > 0 ? nextRandom() % roomY : 0;
    return window;
}
