// Particle clouds: seeding a cloud layer of emitters through a flat dome, and drawing a
// layer as sprite-sheet billboards in one of seven cloud types.
#pragma once

#include <cstdint>
#include <span>

#include "lumora/types.h"

namespace Zeph_Games {

// Cloud types; each selects one pair of blending factors.
constexpr int32_t CLOUD_BRIGHT = 0;      // GL_ONE, GL_ONE_MINUS_SRC_COLOR
constexpr int32_t CLOUD_NORMAL = 1;      // GL_ONE, GL_ONE_MINUS_SRC_ALPHA
constexpr int32_t CLOUD_TINY_DARK = 2;   // GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA
constexpr int32_t CLOUD_VERY_DARK = 3;   // GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA
constexpr int32_t CLOUD_TINY_BRIGHT = 4; // GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_ALPHA
constexpr int32_t CLOUD_DARK_SMOOTH = 5; // GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA
constexpr int32_t CLOUD_DARK = 6;        // GL_ZERO, GL_ONE_MINUS_SRC_ALPHA

// Seeds emitters 0..NumP-1 of the layer and records their count in element 0's MaxObj.
// Only the layer's own elements are seeded: a NumP beyond the layer is cut to its size.
void InitClouds(std::span<Lumora::TGLFX_Particle> Particle, int32_t NumP, float Radius, float SX,
                float SY, float SZ, float AddVolume);

// Draws the layer's seeded emitters (element 0's MaxObj, never more than the layer holds)
// as billboards showing cells of a Rows x Columns sprite sheet.
void GenClouds(std::span<Lumora::TGLFX_Particle> Particle, int32_t TypeClouds, int32_t Rows,
               int32_t Columns);

} // namespace Zeph_Games
