// Seeding of a cloud layer: emitters scattered through the upper half of an ellipsoid,
// each with a random billboard size and turn, from the program's one random sequence.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "zeph_games/clouds.h"

namespace Zeph_Games {

using namespace Lumora;

void InitClouds(std::span<TGLFX_Particle> Particle, int32_t NumP, float Radius, float SX, float SY,
                float SZ, float AddVolume) {
    if (Particle.empty()) return;

    // A count beyond the layer would write past it, and the drawing would read past it;
    // the recorded count is what was actually seeded.
    const int64_t Count = std::min<int64_t>(NumP, static_cast<int64_t>(Particle.size()));
    Particle[0].MaxObj = static_cast<int32_t>(Count);

    constexpr double Pi = std::numbers::pi;
    for (int64_t I = 0; I < Count; ++I) {
        TGLFX_Particle& E = Particle[static_cast<size_t>(I)];
        const double T1 = Random() * Pi * 2.0;
        const double T2 = Pi / 2.0 - Random() * (Pi / 2.1) - 0.02;
        E.Fade = RandomF(Radius);
        const double D = E.Fade;
        E.Pos = GLVector(SX * D * std::sin(T1) * std::sin(T2), SY * D * std::cos(T2),
                         SZ * D * std::cos(T1) * std::sin(T2));
        const double Spread = RandomF(static_cast<float>(AddVolume + 5.0f));
        E.Size = static_cast<float>((AddVolume / 2.0 + 2.5) - Spread);
        E.Ang = static_cast<float>(180 - Random(360));
    }
}

} // namespace Zeph_Games
