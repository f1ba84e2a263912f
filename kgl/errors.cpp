// The library-wide last-error code.
#include "kgl/errors.h"

extern const char* const errorTexts[1 - kLowestErrorCode];

// The last error: set by any library operation that fails, cleared by
// takeLastError and on entry to operations that can fail.
static int lastError = kglOk;

int takeLastError()
{
    int code = lastError;
    lastError = kglOk;
    return code;
}

void setLastError(int code)
{
    lastError = code;
}

const char* errorMessage(int code)
{
    if (code > 0 || code < kLowestErrorCode) return errorTexts[-kglInvalidErrorNumber];
    return errorTexts[-code];
}
