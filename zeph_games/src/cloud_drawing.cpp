// Drawing of a cloud layer: one blended, camera-facing billboard per seeded emitter, the
// cloud type choosing only the blending factors.
#include <algorithm>

#include <GL/gl.h>

#include "lumora/render.h"
#include "zeph_games/clouds.h"

namespace Zeph_Games {

using namespace Lumora;

namespace {

struct TCloudBlend {
    GLenum Src;
    GLenum Dst;
};

// Blending factors by cloud type, CLOUD_BRIGHT .. CLOUD_DARK.
constexpr TCloudBlend CloudBlend[7] = {
    {GL_ONE, GL_ONE_MINUS_SRC_COLOR},
    {GL_ONE, GL_ONE_MINUS_SRC_ALPHA},
    {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
    {GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA},
    {GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_ALPHA},
    {GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA},
    {GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},
};

} // namespace

void GenClouds(std::span<TGLFX_Particle> Particle, int32_t TypeClouds, int32_t Rows,
               int32_t Columns) {
    LockViewModelScaleOff();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    // An unknown type keeps whatever factors are in force.
    if (TypeClouds >= CLOUD_BRIGHT && TypeClouds <= CLOUD_DARK)
        glBlendFunc(CloudBlend[TypeClouds].Src, CloudBlend[TypeClouds].Dst);
    // Hidden behind nearer opaque geometry, but billboards never hide each other.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnable(GL_ALPHA_TEST);

    // The count comes from the layer's own data; a count beyond the layer never makes
    // the loop read past it.
    const int64_t Count =
        Particle.empty()
            ? 0
            : std::min<int64_t>(Particle[0].MaxObj, static_cast<int64_t>(Particle.size()));
    for (int64_t I = 0; I < Count; ++I) {
        const TGLFX_Particle& E = Particle[static_cast<size_t>(I)];
        LockViewModelBegin(E.Pos.X, E.Pos.Y, E.Pos.Z);
        glRotatef(E.Ang, 0.0f, 0.0f, 1.0f);
        const auto Cell = static_cast<float>(I);
        FindCharacter(0.0f, 0.0f, Cell, Cell, E.Size, E.Size, Rows, Columns);
        LockViewModelEnd();
    }

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_COLOR_MATERIAL);
}

} // namespace Zeph_Games
