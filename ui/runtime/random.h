#pragma once

#include <cstdint>

// The runtime's random numbers: single-precision values r with 0 <= r < 1.

// Seeds the generator from the system timer.
void Randomize();

// The next value of the sequence, a multiple of 2^-24 in [0, 1).
float Rnd();

// The value for 32 random bits: the top 24 of them over 2^24, exact in single precision, so
// even all ones stays below 1.
float UnitFromBits(std::uint32_t bits);
