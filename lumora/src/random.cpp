// The program's pseudo-random sequence: a 32-bit linear congruential generator from a
// fixed seed, the same one for real and integer draws, so runs repeat exactly.
#include "lumora/types.h"

namespace Lumora {

namespace {
uint32_t RandSeed = 0; // the sequence's state; written only by the draws and RandomReset

uint32_t NextRandom() {
    RandSeed = RandSeed * 134775813u + 1u;
    return RandSeed;
}
} // namespace

TGLVector GLVector(double X, double Y, double Z) {
    return TGLVector{static_cast<float>(X), static_cast<float>(Y), static_cast<float>(Z)};
}

double Random() {
    return static_cast<double>(NextRandom()) / 4294967296.0;
}

int32_t Random(int32_t Range) {
    const uint32_t r = NextRandom();
    if (Range <= 0) return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(r) * static_cast<uint32_t>(Range)) >> 32);
}

float RandomF(float Range) {
    const long double r = static_cast<long double>(Random());
    return static_cast<float>(r / 0.9L * static_cast<long double>(Range));
}

void RandomReset() {
    RandSeed = 0;
}

} // namespace Lumora
