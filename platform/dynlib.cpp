#include "platform/dynlib.h"

#include <dlfcn.h>

void* openLibrary(const char* fileName)
{
    // RTLD_GLOBAL: SDL and the display host load the same libGL and must share its dispatch.
    return dlopen(fileName, RTLD_NOW | RTLD_GLOBAL);
}

void* librarySymbol(void* library, const char* name)
{
    return library ? dlsym(library, name) : nullptr;
}

void closeLibrary(void* library)
{
    if (library) dlclose(library);
}
