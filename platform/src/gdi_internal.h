// What the window side of the platform needs from the GDI side (device contexts bound to
// a window's pixels, regions for hit tests and composition), and the GDI object records
// that the gdi_* files share among themselves.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "backend_pixman_region.h"
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

// ---- object records shared by the gdi_* files ---------------------------------------------

// Largest picture a bitmap may hold, so that a hostile file header cannot make us allocate
// gigabytes: 2^26 pixels (8192 x 8192) and 32767 pixels a side.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;
constexpr int kMaxBitmapSide = 32767;

// Pixel memory: big blocks are whole pages mapped and faulted in with one call (a picture
// is about to be written or read whole, and thousands of single page faults cost more than
// the copy itself), and a few released ones are kept for reuse; small ones, and every block
// under AddressSanitizer, come from malloc so that overflows show. A file read in can
// become a picture's pixels.
struct PixelDeleter {
    size_t mapped = 0; // length of a mapped block; 0 for malloc'd memory
    void operator()(uint8_t* p) const;
};
using PixelMemory = std::unique_ptr<uint8_t[], PixelDeleter>;

// Memory for pixels (zero-filled unless the caller is about to write all of it), or null
// when memory is short.
PixelMemory AllocatePixels(size_t bytes, bool zeroed = true);
// A whole regular file's bytes, or null (missing, not a regular file, empty, more than
// maxBytes, unreadable); `size` receives its length.
PixelMemory ReadWholeFile(const char* path, size_t maxBytes, size_t* size);

// A DIB section (or the stock 1 x 1 monochrome bitmap of new memory DCs). Rows are padded
// to 4 bytes; `topDown` says whether the first row in memory is the picture's top row.
struct Bitmap {
    int width = 0;
    int height = 0; // always positive
    bool topDown = false;
    int bitsPerPixel = 0; // 1, 4, 8, 16, 24 or 32
    int stride = 0;       // bytes per row
    // Channel masks of 16- and 32-bit pixels (5-5-5 and 8-8-8 unless given as bit fields).
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    std::vector<RGBQUAD> colors; // colour table of 1-, 4- and 8-bit pictures
    PixelMemory storage;         // holds the pixels, maybe among other bytes (a whole file)
    uint8_t* bits = nullptr;
    bool section = true; // GetObjectA shows bmBits only for sections
    bool stock = false;
    HDC selectedInto = 0; // a bitmap lives in at most one DC at a time
};

struct Palette {
    std::vector<PALETTEENTRY> entries;
    int selections = 0; // DCs that have it selected
    bool stock = false;
};

struct Brush {
    COLORREF color = 0;
    bool hollow = false;
    int selections = 0;
    bool stock = false;
};

// A region kept as the banded rectangle list that pixman produces (bands top to bottom,
// rectangles left to right, touching ones merged), so unions that add rows below can be
// appended in place instead of rebuilding the whole region.
struct Region {
    std::vector<backend::RegionBox> boxes;
    backend::RegionBox extents{0, 0, 0, 0};
};

struct DeviceContext {
    bool window = false;        // made by CreateWindowDC; released by ReleaseWindowDC
    HWND wnd = 0;               // its window (0: the screen or a memory DC)
    Surface* surface = nullptr; // the window's pixels, when it has any
    HBITMAP bitmap = 0;         // memory DCs: the selected bitmap
    HPALETTE palette = 0;
    HBRUSH brush = 0;
};

Bitmap* FindBitmap(HGDIOBJ h);
Palette* FindPalette(HGDIOBJ h);
Brush* FindBrush(HGDIOBJ h);
Region* FindRegion(HGDIOBJ h);
DeviceContext* FindDC(HDC h);

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bitmap);
HPALETTE AddPalette(std::unique_ptr<Palette> palette);
HRGN AddRegion(std::unique_ptr<Region> region);

// Bytes per row of a DIB: whole 32-bit words.
int DibStride(int width, int bitsPerPixel);
// A fresh zero-filled bitmap of the given shape, or null when it is too large or memory is
// short. Masks and colour table are left for the caller.
std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bitsPerPixel, bool topDown);
// Bit-field masks (red, green, blue) a picture of that depth can use: each one run of
// bits, no two overlapping, within 16 bits for 16-bit pixels.
bool ValidChannelMasks(const uint32_t (&masks)[3], int bitsPerPixel);
// The standard channel masks of 16-bit (5-5-5) and 32-bit (8-8-8) pixels.
void SetDefaultMasks(Bitmap& bitmap);
// Copies a rectangle converting pixel formats, the work of BitBlt once both sides are known.
void CopyPixels(Bitmap& dest, int x, int y, int width, int height, const Bitmap& src, int srcX,
                int srcY);
// The stock objects that every new DC starts with.
HBITMAP StockBitmap();
HPALETTE StockPalette();
// The 20 colours reserved in every system palette, first ten then last ten.
const PALETTEENTRY* StaticColors();
// A brush's colour for erasing backgrounds; false for the hollow brush and unknown handles.
bool BrushColor(HBRUSH brush, COLORREF* color);
// Objects alive now, stock ones left out: bitmaps, palettes, brushes, regions and DCs, and
// global memory blocks. Tests use them to see that failure paths release what they made.
size_t LiveGdiObjects();
size_t LiveGlobalBlocks();
// Region kind of a box list: NULLREGION, SIMPLEREGION or COMPLEXREGION.
int RegionKind(const Region& region);

} // namespace platform::gdi
