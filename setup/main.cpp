// The installer; its script reader, copy engine and dialogs are built next.
#include <cstdio>

int main()
{
    fprintf(stderr, "setup: the installer is not built yet.\n");
    return 1;
}
