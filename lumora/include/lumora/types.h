// Shared records and helpers of the library: vectors, the particle and emitter records,
// and the program's one pseudo-random sequence.
#pragma once

#include <cstdint>

namespace Lumora {

struct TGLVector {
    float X;
    float Y;
    float Z;
};
using TGLVertex = TGLVector;

// Three doubles narrowed to single precision.
TGLVector GLVector(double X, double Y, double Z);

// One sequence for the whole program, from the same fixed seed on every run, so every
// run seeds the same clouds. Reals and integers draw from the same sequence.
double Random();               // uniform in [0, 1)
int32_t Random(int32_t Range); // uniform in [0, Range); 0 when Range <= 0
float RandomF(float Range);    // Random / 0.9 * Range, in extended precision
// Puts the sequence back to its start (tests and tools that replay a run).
void RandomReset();

constexpr int32_t MAXPARTICLE = 5000;

struct TGLParticle {
    float LifeSpan;
    float Fade;
    float R, G, B, A;
    float PosX, PosY, PosZ;
    float SpeedX, SpeedY, SpeedZ;
    bool Active;
};
static_assert(sizeof(TGLParticle) == 52);

// One emitter; a cloud layer is an array of them whose emitter count lives in element 0's
// MaxObj. Only Pos, Size, Ang, Fade (and MaxObj of element 0) are ever written.
struct TGLFX_Particle {
    TGLParticle P[MAXPARTICLE + 1];
    TGLVector Pos;
    float Size;
    float Ang;
    int32_t RX, RY, RZ;
    int32_t Max;
    int32_t MaxObj;
    int32_t Ground;
    float LifeSpan;
    float Fade;
    float R, G, B, A;
    TGLVector Offset, Gravity, Speed;
    bool Texture;
    char* TexImage;
};

} // namespace Lumora
