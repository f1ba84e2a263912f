// Stand-in for the saver run until it is built; it says so and returns.
#include <cstdio>

#include "shell/shell.h"

int runSaver()
{
    fprintf(stderr, "vellamir: the saver run is not built yet.\n");
    return 0;
}
