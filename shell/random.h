// The program's one pseudo-random generator. Every random choice of a run
// (theme, camera start and turns, exhibits, pictures, display-window moves)
// is one draw modulo the number of choices, in a fixed order, so the same
// seed gives the same run.
#pragma once

#include <cstdint>

// Sets the generator's 32-bit state; done once per process, from the time in seconds.
void seedRandom(uint32_t seed);
// Next draw, 0..32767: state := state * 1103515245 + 12345, result (state >> 16) & 0x7FFF.
int nextRandom();
