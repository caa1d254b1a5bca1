// BMP decoding by SDL's loader, behind a plain seam: the pixels as SDL gives them, top row
// first, one byte per palette index for pictures with a colour table (RLE4 and RLE8
// expanded), else the file's own pixel words.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::sdl {

struct BmpPixels {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0; // 1 for palette indices, else 2, 3 or 4
    bool indexed = false;
    int pitch = 0;
    const uint8_t* pixels = nullptr; // top row first
    void* owner = nullptr;           // SDL's picture; FreeBmp releases it
};

// False when SDL refuses the bytes (among others: an index past the colour table).
bool DecodeBmp(const uint8_t* data, size_t size, BmpPixels* out);
void FreeBmp(BmpPixels* pixels);

} // namespace platform::sdl
