// The runtime's random number generator, seeded from the clock.

#include <windows.h>

#include "ui/runtime/random.h"

#include <random>

namespace {

std::mt19937& Generator() {
    static std::mt19937 generator;
    return generator;
}

} // namespace

void Randomize() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const auto ticks = static_cast<std::uint64_t>(now.QuadPart);
    Generator().seed(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

float Rnd() {
    return UnitFromBits(static_cast<std::uint32_t>(Generator()()));
}

float UnitFromBits(std::uint32_t bits) {
    constexpr float kScale = 1.0f / 16777216.0f; // 2^-24
    return static_cast<float>(bits >> 8) * kScale;
}
