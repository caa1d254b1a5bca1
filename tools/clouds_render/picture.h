// Pictures taken from the GL back buffer, the contact sheet made of them, and PNG output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace clouds_render {

// An RGB picture, top row first, three bytes per pixel, no row padding.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// The current context's back buffer, read before the swap and turned right side up.
Picture ReadBackBuffer(int width, int height);

constexpr int SheetColumns = 4; // cells across; the seven types fill 4 + 3
constexpr int SheetGap = 6;     // pixels between and around cells

// The cells left to right, top to bottom, SheetColumns across, on a dark background.
// All cells must have the same size.
Picture ComposeSheet(const std::vector<Picture>& cells);

// Writes an 8-bit RGB PNG; on failure returns the message, else "".
std::string WritePng(const std::string& path, const Picture& picture);

// "dir/name.png" with number 3 gives "dir/name-0003.png".
std::string NumberedPath(const std::string& path, int number);

} // namespace clouds_render
