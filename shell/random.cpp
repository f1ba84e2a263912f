#include "shell/random.h"

namespace {
uint32_t randomState = 1; // seeded by saverMain; tests seed it themselves
}

void seedRandom(uint32_t seed)
{
    randomState = seed;
}

int nextRandom()
{
    randomState = randomState * 1103515245u + 12345u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}
