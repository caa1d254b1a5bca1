// What the window side of the platform needs from the GDI side: device contexts bound to
// a window's pixels, and regions for hit tests and composition.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win_types.h"

namespace platform::gdi {

// A window's own 32-bit picture (children draw here through BeginPaint/EndPaint), top row
// first, one 0x00RRGGBB word per pixel, the layout of a top-down 32-bit DIB.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// A device context that draws into a window's surface (null for a GL window, whose DC only
// names the window for pixel formats, contexts and swaps).
HDC CreateWindowDC(HWND wnd, Surface* target);
// The window a DC belongs to (0 for memory DCs and unknown handles).
HWND WindowOfDC(HDC dc);
// Points a window DC at another surface (the surface moved or was resized) or at none.
void RetargetWindowDC(HDC dc, Surface* target);
BOOL ReleaseWindowDC(HDC dc);

bool IsRegion(HRGN rgn);
bool RegionContains(HRGN rgn, int x, int y);
// One byte per pixel over width x height from (0, 0): 1 inside the region, 0 outside.
std::vector<uint8_t> RegionMask(HRGN rgn, int width, int height);

} // namespace platform::gdi
