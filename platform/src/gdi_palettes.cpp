// Palettes: logical palettes, the 256-entry halftone palette, and their selection into DCs.
// Every surface here is true colour, so realising a palette maps nothing; the palette is
// kept with the DC for the callers that read it back.
//   [x] CreatePalette, CreateHalftonePalette, SelectPalette, RealizePalette,
//       GetPaletteEntries
//   [ ] palette animation, system palette queries
#include <algorithm>
#include <memory>

#include "gdi_internal.h"
#include "platform/win_gdi.h"

namespace platform {

using namespace gdi;

namespace {

constexpr WORD kPaletteVersion = 0x300;

// The halftone palette: the ten first static colours, a 6 x 6 x 6 colour cube, twenty greys
// between the cube's own, and the ten last static colours.
std::vector<PALETTEENTRY> HalftoneEntries() {
    std::vector<PALETTEENTRY> e;
    e.reserve(256);
    const PALETTEENTRY* statics = StaticColors();
    e.insert(e.end(), statics, statics + 10);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                e.push_back(PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51),
                                         static_cast<BYTE>(b * 51), 0});
    for (int i = 1; i <= 20; ++i) {
        const BYTE v = static_cast<BYTE>((255 * i + 10) / 21);
        e.push_back(PALETTEENTRY{v, v, v, 0});
    }
    e.insert(e.end(), statics + 10, statics + 20);
    return e;
}

} // namespace

HPALETTE CreatePalette(const LOGPALETTE* logPalette) {
    if (!logPalette || logPalette->palVersion != kPaletteVersion || logPalette->palNumEntries == 0)
        return 0;
    auto p = std::make_unique<Palette>();
    const PALETTEENTRY* first = logPalette->palPalEntry;
    p->entries.assign(first, first + logPalette->palNumEntries);
    return AddPalette(std::move(p));
}

HPALETTE CreateHalftonePalette(HDC dc) {
    if (!FindDC(dc)) return 0;
    auto p = std::make_unique<Palette>();
    p->entries = HalftoneEntries();
    return AddPalette(std::move(p));
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground) {
    (void)forceBackground; // no system palette to compete for
    DeviceContext* d = FindDC(dc);
    Palette* p = FindPalette(palette);
    if (!d || !p) return 0;
    const HPALETTE previous = d->palette;
    if (Palette* old = FindPalette(previous)) --old->selections;
    ++p->selections;
    d->palette = palette;
    return previous;
}

UINT RealizePalette(HDC dc) {
    const DeviceContext* d = FindDC(dc);
    if (!d) return GDI_ERROR;
    const Palette* p = FindPalette(d->palette);
    return p && !p->stock ? static_cast<UINT>(p->entries.size()) : 0;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    const Palette* p = FindPalette(palette);
    if (!p) return 0;
    const UINT size = static_cast<UINT>(p->entries.size());
    if (!entries) return size;
    if (start >= size) return 0;
    const UINT n = std::min(count, size - start);
    std::copy_n(p->entries.begin() + start, n, entries);
    return n;
}

} // namespace platform
