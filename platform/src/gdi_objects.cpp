// The GDI object table: bitmaps, palettes, brushes, regions and device contexts, with
// selection and deletion as Win32 callers expect them.
//   [x] memory DCs (start with the stock 1 x 1 monochrome bitmap and the default palette)
//   [x] window DCs over a window's 32-bit surface, and the screen DC
//   [x] SelectObject of bitmaps and brushes; DeleteObject refuses objects still selected
//   [x] DeleteDC leaves its selected objects alive for their owner to delete
//   [x] GetObjectA of bitmaps (BITMAP) and palettes (entry count)
//   [x] stock brushes and the default palette
//   [ ] pens, fonts, clip regions selected into a DC (nothing here draws lines or text)
#include <algorithm>
#include <cstring>

#include "gdi_internal.h"
#include "handles.h"
#include "platform/win_gdi.h"

namespace platform {

namespace gdi {

namespace {

HandleTable<Bitmap> g_bitmaps;         // every bitmap; written by AddBitmap and DeleteObject
HandleTable<Palette> g_palettes;       // every palette; written by AddPalette and DeleteObject
HandleTable<Brush> g_brushes;          // every brush; written by CreateSolidBrush and the stock set
HandleTable<Region> g_regions;         // every region; written by AddRegion and DeleteObject
HandleTable<DeviceContext> g_dcs;      // every DC; written by the DC constructors and destructors
HBITMAP g_stockBitmap = 0;             // the 1 x 1 monochrome bitmap of new memory DCs; made once
HPALETTE g_stockPalette = 0;           // the 20 static colours; made once
HBRUSH g_stockBrushes[NULL_BRUSH + 1]; // WHITE_BRUSH .. NULL_BRUSH; each made at first request

// The colours Windows reserves in every system palette: the first ten and the last ten
// entries of the halftone palette, and the whole default palette.
constexpr PALETTEENTRY kStaticColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

HDC NewDC(bool window, HWND wnd, Surface* surface) {
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    dc->wnd = wnd;
    dc->surface = surface;
    // Window DCs draw into their window, never into a selected bitmap.
    if (!window) dc->bitmap = StockBitmap();
    dc->palette = StockPalette();
    if (Palette* p = FindPalette(dc->palette)) ++p->selections;
    return g_dcs.Add(std::move(dc));
}

// Puts back everything a dying DC holds; the objects themselves stay for their owners.
void Deselect(DeviceContext& dc) {
    if (Bitmap* b = FindBitmap(dc.bitmap); b && !b->stock) b->selectedInto = 0;
    if (Palette* p = FindPalette(dc.palette)) --p->selections;
    if (Brush* br = FindBrush(dc.brush)) --br->selections;
}

} // namespace

Bitmap* FindBitmap(HGDIOBJ h) {
    return g_bitmaps.Find(h);
}
Palette* FindPalette(HGDIOBJ h) {
    return g_palettes.Find(h);
}
Brush* FindBrush(HGDIOBJ h) {
    return g_brushes.Find(h);
}
Region* FindRegion(HGDIOBJ h) {
    return g_regions.Find(h);
}
DeviceContext* FindDC(HDC h) {
    return g_dcs.Find(h);
}

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bitmap) {
    return bitmap ? g_bitmaps.Add(std::move(bitmap)) : 0;
}
HPALETTE AddPalette(std::unique_ptr<Palette> palette) {
    return palette ? g_palettes.Add(std::move(palette)) : 0;
}
HRGN AddRegion(std::unique_ptr<Region> region) {
    return region ? g_regions.Add(std::move(region)) : 0;
}

HBITMAP StockBitmap() {
    if (!g_stockBitmap) {
        auto b = NewBitmap(1, 1, 1, false);
        b->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        b->section = false;
        b->stock = true;
        g_stockBitmap = AddBitmap(std::move(b));
    }
    return g_stockBitmap;
}

HPALETTE StockPalette() {
    if (!g_stockPalette) {
        auto p = std::make_unique<Palette>();
        p->entries.assign(std::begin(kStaticColors), std::end(kStaticColors));
        p->stock = true;
        g_stockPalette = AddPalette(std::move(p));
    }
    return g_stockPalette;
}

const PALETTEENTRY* StaticColors() {
    return kStaticColors;
}

bool BrushColor(HBRUSH brush, COLORREF* color) {
    const Brush* br = FindBrush(brush);
    if (!br || br->hollow) return false;
    if (color) *color = br->color;
    return true;
}

size_t LiveGdiObjects() {
    size_t n = g_regions.Size() + g_dcs.Size();
    g_bitmaps.ForEach([&n](uint32_t, const Bitmap& b) { n += b.stock ? 0 : 1; });
    g_palettes.ForEach([&n](uint32_t, const Palette& p) { n += p.stock ? 0 : 1; });
    g_brushes.ForEach([&n](uint32_t, const Brush& b) { n += b.stock ? 0 : 1; });
    return n;
}

HDC CreateWindowDC(HWND wnd, Surface* target) {
    return NewDC(true, wnd, target);
}

HWND WindowOfDC(HDC dc) {
    const DeviceContext* d = FindDC(dc);
    return d && d->window ? d->wnd : 0;
}

void RetargetWindowDC(HDC dc, Surface* target) {
    if (DeviceContext* d = FindDC(dc); d && d->window) d->surface = target;
}

BOOL ReleaseWindowDC(HDC dc) {
    DeviceContext* d = FindDC(dc);
    if (!d || !d->window) return FALSE;
    Deselect(*d);
    g_dcs.Remove(dc);
    return TRUE;
}

} // namespace gdi

using namespace gdi;

HDC CreateCompatibleDC(HDC dc) {
    // 0 means the screen; anything else must be a live DC.
    if (dc != 0 && !FindDC(dc)) return 0;
    return NewDC(false, 0, nullptr);
}

BOOL DeleteDC(HDC dc) {
    DeviceContext* d = FindDC(dc);
    // Window DCs go back through ReleaseDC or EndPaint.
    if (!d || d->window) return FALSE;
    Deselect(*d);
    g_dcs.Remove(dc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
    DeviceContext* d = FindDC(dc);
    if (!d) return 0;
    if (Bitmap* b = FindBitmap(obj)) {
        if (d->window) return 0; // only memory DCs hold bitmaps
        if (obj == d->bitmap) return obj;
        // A bitmap lives in one DC at a time; the stock one may be everywhere.
        if (!b->stock && b->selectedInto != 0) return 0;
        const HBITMAP previous = d->bitmap;
        if (Bitmap* old = FindBitmap(previous); old && !old->stock) old->selectedInto = 0;
        if (!b->stock) b->selectedInto = dc;
        d->bitmap = obj;
        return previous;
    }
    if (Brush* br = FindBrush(obj)) {
        const HBRUSH previous = d->brush;
        if (Brush* old = FindBrush(previous)) --old->selections;
        ++br->selections;
        d->brush = obj;
        return previous;
    }
    // Palettes go through SelectPalette; regions as clip regions are not provided.
    return 0;
}

BOOL DeleteObject(HGDIOBJ obj) {
    if (Bitmap* b = FindBitmap(obj)) {
        if (b->stock) return TRUE;
        // Still selected: the DC would be left pointing at freed pixels.
        if (b->selectedInto != 0) return FALSE;
        return g_bitmaps.Remove(obj);
    }
    if (Palette* p = FindPalette(obj)) {
        if (p->stock) return TRUE;
        if (p->selections > 0) return FALSE;
        return g_palettes.Remove(obj);
    }
    if (Brush* br = FindBrush(obj)) {
        if (br->stock) return TRUE;
        if (br->selections > 0) return FALSE;
        return g_brushes.Remove(obj);
    }
    if (g_regions.Remove(obj)) return TRUE;
    return FALSE;
}

int GetObjectA(HGDIOBJ obj, int size, void* out) {
    if (const Bitmap* b = FindBitmap(obj)) {
        BITMAP bm{};
        bm.bmType = 0;
        bm.bmWidth = b->width;
        bm.bmHeight = b->height;
        bm.bmWidthBytes = b->stride;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<WORD>(b->bitsPerPixel);
        bm.bmBits = b->section ? b->bits : nullptr;
        if (!out) return static_cast<int>(sizeof bm);
        if (size <= 0) return 0;
        // A shorter buffer gets the leading fields, as a 32-bit caller's 24-byte record would.
        const size_t n = std::min(static_cast<size_t>(size), sizeof bm);
        std::memcpy(out, &bm, n);
        return static_cast<int>(n);
    }
    if (const Palette* p = FindPalette(obj)) {
        if (!out) return static_cast<int>(sizeof(WORD));
        if (size < static_cast<int>(sizeof(WORD))) return 0;
        const WORD count = static_cast<WORD>(p->entries.size());
        std::memcpy(out, &count, sizeof count);
        return static_cast<int>(sizeof count);
    }
    return 0;
}

HGDIOBJ GetStockObject(int index) {
    if (index >= WHITE_BRUSH && index <= NULL_BRUSH) {
        HBRUSH& h = g_stockBrushes[index];
        if (!h) {
            static constexpr BYTE kGrey[] = {255, 192, 128, 64, 0, 0};
            auto br = std::make_unique<Brush>();
            br->color = RGB(kGrey[index], kGrey[index], kGrey[index]);
            br->hollow = index == NULL_BRUSH;
            br->stock = true;
            h = g_brushes.Add(std::move(br));
        }
        return h;
    }
    if (index == DEFAULT_PALETTE) return StockPalette();
    return 0;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto br = std::make_unique<Brush>();
    br->color = color & 0x00FFFFFF;
    return g_brushes.Add(std::move(br));
}

} // namespace platform
