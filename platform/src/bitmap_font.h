// The built-in 5 x 7 font used where child windows draw their own text.
#pragma once

#include <cstdint>

#include "gdi_internal.h"

namespace platform {

constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;
constexpr int GlyphAdvance = 6;

bool GlyphInk(unsigned char c, int col, int row);
// Draws single-byte text with its top-left corner at (x, y), clipped to the surface and to
// clipRight.
void DrawText5x7(gdi::Surface& s, int x, int y, const char* text, uint32_t colour, int clipRight);

} // namespace platform
