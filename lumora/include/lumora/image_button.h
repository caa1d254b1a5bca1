// Image hover buttons: BMP pictures with a palette, window regions cut from a picture by a
// transparent colour range, and the "IMAGEBUTTON" window class.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace Lumora {

// ---- bitmap files and bitmap-to-region ----------------------------------------------------

// Rectangles the region buffer grows by.
constexpr int32_t ALLOC_UNIT = 100;

// Loads a BMP file as a DIB section and makes a palette for it (written to Pal only on
// success). The caller owns both and releases them with DeleteObject.
platform::HBITMAP LoadBMPFromFile(const char* FileName, platform::HPALETTE& Pal);

// A region of every pixel of the BMP file whose colour lies outside the transparent range
// (TransColor upwards by Tolerance in each channel), in the picture's own coordinates.
platform::HRGN BitmapToRegion(const char* BmpName, platform::COLORREF TransColor,
                              uint8_t Tolerance);

// What the last BitmapToRegion call did with its rectangle buffer, for tests and the
// benchmark to see; nothing reads it back.
struct TBitmapToRegionTrace {
    int32_t Rects;        // non-transparent runs found
    int32_t MaxRects;     // the buffer's capacity in rectangles at the end
    int32_t Grows;        // times the buffer grew by ALLOC_UNIT
    int32_t Regions;      // regions made from the buffer, the final one included
    uint32_t BufferBytes; // the block's size as the platform reports it, just before release
};
extern TBitmapToRegionTrace BitmapToRegionTrace; // written by BitmapToRegion, reset at its start

// ---- the hover button class ----------------------------------------------------------------

extern const char* const SZHOVERCLASS; // "IMAGEBUTTON"

// Window properties of each button.
extern const char* const NORMALBMP; // "NORMALBITMAP": memory DC holding the normal picture
extern const char* const HOVERBMP;  // "HOVERBITMAP"
extern const char* const PRESSBMP;  // "PRESSBITMAP"
extern const char* const HOVERMODE; // "HOVERMODEBYTE": the state, 1 normal, 2 hover, 3 pressed
extern const char* const BUTTONRGN; // "HOVERBUTTONREGION": the outline for hit tests

// Start of every picture file name (then "N", "H" or "P", then ".BMP"); its value when a
// button is created decides that button's pictures. Empty at start.
extern std::string BMPType;

platform::LRESULT HoverButtonHandler(platform::HWND Wnd, platform::UINT iMsg,
                                     platform::WPARAM wParam, platform::LPARAM lParam);

} // namespace Lumora
