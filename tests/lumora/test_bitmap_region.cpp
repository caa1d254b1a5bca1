// Bitmap files and bitmap-to-region: the runs, the transparent range, the rectangle buffer's
// growth and chunks, the palettes, ImageMagick's files, and nothing left behind on failure.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../platform/src/gdi_internal.h"
#include "../platform/test_gdi_bmp_fixture.h"
#include "lumora/image_button.h"
#include "platform/win32.h"

using namespace platform;
using namespace Lumora;

namespace {

constexpr uint32_t MAGENTA = 0xFF00FF; // as 0x00RRGGBB, the fixture's pixel layout
constexpr COLORREF MAGENTA_REF = 0x00FF00FF;

std::vector<RECT> RegionRects(HRGN rgn) {
    const DWORD n = GetRegionData(rgn, 0, nullptr);
    std::vector<uint8_t> bytes(n);
    if (!n || !GetRegionData(rgn, n, reinterpret_cast<RGNDATA*>(bytes.data()))) return {};
    const auto* data = reinterpret_cast<const RGNDATA*>(bytes.data());
    const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(r, r + data->rdh.nCount);
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].left != b[i].left || a[i].top != b[i].top || a[i].right != b[i].right ||
            a[i].bottom != b[i].bottom)
            return false;
    return true;
}

// Every pixel of a width x height picture is in the region exactly when `opaque` says so.
void ExpectCovers(HRGN rgn, int width, int height, const std::vector<bool>& opaque) {
    int wrong = 0;
    for (int y = -1; y <= height; ++y)
        for (int x = -1; x <= width; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < width && y < height &&
                                opaque[static_cast<size_t>(y) * width + x];
            if ((PtInRegion(rgn, x, y) != FALSE) != inside && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " should be "
                              << (inside ? "in" : "out");
        }
    EXPECT_EQ(wrong, 0);
}

// A picture of `runs` opaque runs of one pixel, `perRow` to a row, magenta between them.
std::vector<uint32_t> Runs(int runs, int perRow, int* width, int* height) {
    *width = 2 * perRow;
    *height = (runs + perRow - 1) / perRow;
    std::vector<uint32_t> px(static_cast<size_t>(*width) * *height, MAGENTA);
    for (int i = 0; i < runs; ++i)
        px[static_cast<size_t>(i / perRow) * *width + 2 * (i % perRow)] = 0x123456;
    return px;
}

std::vector<bool> OpaqueMask(const std::vector<uint32_t>& px) {
    std::vector<bool> m;
    for (uint32_t p : px)
        m.push_back(p != MAGENTA);
    return m;
}

} // namespace

TEST(BitmapToRegion, ThreeByOnePictureGivesTwoRectanglesInOneChunk) {
    bmp_fixture::ScratchDir dir;
    const std::string file = (dir / "p.bmp").string();
    bmp_fixture::WriteRgb24(file, 3, 1, {0x000000, MAGENTA, 0x000000});
    const HRGN rgn = BitmapToRegion(file.c_str(), MAGENTA_REF, 1);
    ASSERT_NE(rgn, 0u);
    EXPECT_TRUE(SameRects(RegionRects(rgn), {{0, 0, 1, 1}, {2, 0, 3, 1}}));
    EXPECT_EQ(BitmapToRegionTrace.Rects, 2);
    EXPECT_EQ(BitmapToRegionTrace.Regions, 1);
    EXPECT_EQ(BitmapToRegionTrace.Grows, 0);
    EXPECT_EQ(BitmapToRegionTrace.MaxRects, ALLOC_UNIT);
    EXPECT_EQ(BitmapToRegionTrace.BufferBytes, 1632u);
    EXPECT_TRUE(DeleteObject(rgn));
}

TEST(BitmapToRegion, RowsComeTopRowFirstWhateverTheFileOrder) {
    bmp_fixture::ScratchDir dir;
    // Top row transparent, middle row opaque, bottom row opaque on the left only.
    const std::vector<uint32_t> idx = {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1};
    for (const bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        bmp_fixture::Layout l;
        l.width = 4, l.height = 3, l.bitsPerPixel = 8, l.topDown = topDown;
        l.colors = {RGBQUAD{9, 9, 9, 0}, RGBQUAD{255, 0, 255, 0}};
        l.colorsUsed = 2;
        const std::string file = (dir / "rows.bmp").string();
        bmp_fixture::WriteFile(file, bmp_fixture::WriteBmp(l, bmp_fixture::PackRows(l, idx)));
        const HRGN rgn = BitmapToRegion(file.c_str(), MAGENTA_REF, 0);
        ASSERT_NE(rgn, 0u);
        // Each run is one row high; joining them is the region's business.
        EXPECT_EQ(BitmapToRegionTrace.Rects, 2);
        EXPECT_TRUE(SameRects(RegionRects(rgn), {{0, 1, 4, 2}, {0, 2, 2, 3}}));
        DeleteObject(rgn);
    }
}

TEST(BitmapToRegion, TransparentRangeWidensUpwardsOnly) {
    struct Case {
        const char* name;
        COLORREF trans;
        uint8_t tolerance;
        uint32_t pixel; // 0x00RRGGBB
        bool transparent;
    };
    const Case cases[] = {
        {"exact colour", MAGENTA_REF, 1, 0xFF00FF, true},
        {"green within tolerance", MAGENTA_REF, 1, 0xFF01FF, true},
        {"red below the colour", MAGENTA_REF, 1, 0xFE00FF, false},
        {"green past tolerance", MAGENTA_REF, 1, 0xFF02FF, false},
        {"250 + 10 stops at 255", RGB(250, 0, 0), 10, 0xFF0000, true},
        {"250 + 10 starts at 250", RGB(250, 0, 0), 10, 0xF90000, false},
        {"no tolerance, exact", RGB(10, 20, 30), 0, 0x0A141E, true},
        {"no tolerance, one off", RGB(10, 20, 30), 0, 0x0A141F, false},
        {"low bound never lowered", RGB(10, 0, 0), 255, 0x090000, false},
        {"widest range from 10", RGB(10, 0, 0), 255, 0xFFFFFF, true},
        {"blue bound", RGB(0, 0, 200), 5, 0x0000CD, true},
        {"blue past its bound", RGB(0, 0, 200), 5, 0x0000CE, false},
        {"top byte ignored", 0xAB0000FF, 0, 0xFF0000, true},
    };
    bmp_fixture::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = (dir / "one.bmp").string();
        bmp_fixture::WriteRgb24(file, 1, 1, {c.pixel});
        const HRGN rgn = BitmapToRegion(file.c_str(), c.trans, c.tolerance);
        ASSERT_NE(rgn, 0u);
        EXPECT_EQ(PtInRegion(rgn, 0, 0) != FALSE, !c.transparent);
        DeleteObject(rgn);
    }
}

TEST(BitmapToRegion, BufferGrowsByAllocUnitAndFlushesEvery2000) {
    struct Case {
        int runs;
        int grows, maxRects, regions;
        uint32_t bufferBytes;
    };
    const Case cases[] = {
        {100, 0, 100, 1, 1632},     // fits the first buffer
        {101, 1, 200, 1, 3232},     // the 101st grows it; the first 100 stay in place
        {1999, 19, 2000, 1, 32032}, // one chunk, made at the end
        {2000, 19, 2000, 2, 32032}, // flushed as the 2000th is added, then an empty chunk
        {2001, 19, 2000, 2, 32032}, // 2000 and 1; the capacity stays at 2000
        {4500, 19, 2000, 3, 32032},
    };
    bmp_fixture::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runs);
        int width = 0, height = 0;
        const std::vector<uint32_t> px = Runs(c.runs, 37, &width, &height);
        const std::string file = (dir / "runs.bmp").string();
        bmp_fixture::WriteRgb24(file, width, height, px);
        const HRGN rgn = BitmapToRegion(file.c_str(), MAGENTA_REF, 0);
        ASSERT_NE(rgn, 0u);
        EXPECT_EQ(BitmapToRegionTrace.Rects, c.runs);
        EXPECT_EQ(BitmapToRegionTrace.Grows, c.grows);
        EXPECT_EQ(BitmapToRegionTrace.MaxRects, c.maxRects);
        EXPECT_EQ(BitmapToRegionTrace.Regions, c.regions);
        EXPECT_EQ(BitmapToRegionTrace.BufferBytes, c.bufferBytes);
        ExpectCovers(rgn, width, height, OpaqueMask(px));
        DeleteObject(rgn);
    }
}

TEST(BitmapToRegion, AllTransparentPictureGivesAnEmptyRegion) {
    bmp_fixture::ScratchDir dir;
    const std::string file = (dir / "clear.bmp").string();
    bmp_fixture::WriteRgb24(file, 5, 4, std::vector<uint32_t>(20, MAGENTA));
    const HRGN rgn = BitmapToRegion(file.c_str(), MAGENTA_REF, 1);
    ASSERT_NE(rgn, 0u);
    RECT box{};
    EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
    EXPECT_EQ(BitmapToRegionTrace.Rects, 0);
    EXPECT_EQ(BitmapToRegionTrace.Regions, 1);
    DeleteObject(rgn);
}

TEST(BitmapToRegion, PalettesFromTheColourTableOrHalftone) {
    bmp_fixture::ScratchDir dir;
    bmp_fixture::Layout l;
    l.width = 2, l.height = 1, l.bitsPerPixel = 4;
    l.colors = {RGBQUAD{3, 2, 1, 0}, RGBQUAD{6, 5, 4, 0}, RGBQUAD{9, 8, 7, 0}};
    l.colorsUsed = 3;
    const std::string small = (dir / "small.bmp").string();
    bmp_fixture::WriteFile(small, bmp_fixture::WriteBmp(l, bmp_fixture::PackRows(l, {0, 2})));

    HPALETTE pal = 0;
    const HBITMAP b = LoadBMPFromFile(small.c_str(), pal);
    ASSERT_NE(b, 0u);
    ASSERT_NE(pal, 0u);
    PALETTEENTRY e[256];
    ASSERT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 256u);
    ASSERT_EQ(GetPaletteEntries(pal, 0, 256, e), 256u);
    EXPECT_EQ(e[0].peRed, 1);
    EXPECT_EQ(e[0].peBlue, 3);
    EXPECT_EQ(e[2].peRed, 7);
    EXPECT_EQ(e[2].peGreen, 8);
    for (int i = 3; i < 256; ++i)
        EXPECT_EQ(e[i].peRed | e[i].peGreen | e[i].peBlue | e[i].peFlags, 0) << i;
    BITMAP bm{};
    GetObjectA(b, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 4); // the file's own depth
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteObject(pal));

    const std::string rgb = (dir / "rgb.bmp").string();
    bmp_fixture::WriteRgb24(rgb, 2, 2, {1, 2, 3, 4});
    HPALETTE halftone = 0;
    const HBITMAP c = LoadBMPFromFile(rgb.c_str(), halftone);
    ASSERT_NE(c, 0u);
    PALETTEENTRY screen[256];
    const HDC dc = GetDC(0);
    const HPALETTE reference = CreateHalftonePalette(dc);
    ReleaseDC(0, dc);
    ASSERT_EQ(GetPaletteEntries(halftone, 0, 256, e), 256u);
    ASSERT_EQ(GetPaletteEntries(reference, 0, 256, screen), 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(e[i].peRed, screen[i].peRed) << i;
        EXPECT_EQ(e[i].peGreen, screen[i].peGreen) << i;
        EXPECT_EQ(e[i].peBlue, screen[i].peBlue) << i;
    }
    DeleteObject(c);
    DeleteObject(halftone);
    DeleteObject(reference);
}

TEST(BitmapToRegion, FailuresLeaveNothingBehind) {
    bmp_fixture::ScratchDir dir;
    const std::string good = (dir / "good.bmp").string();
    bmp_fixture::WriteRgb24(good, 3, 2, {0, MAGENTA, 0, 0, 0, MAGENTA});
    const std::string bad = (dir / "bad.bmp").string();
    bmp_fixture::WriteFile(bad, {'B', 'M', 0, 0});
    const std::string missing = (dir / "missing.bmp").string();

    const size_t objects = gdi::LiveGdiObjects(), blocks = gdi::LiveGlobalBlocks();
    for (const std::string& f : {bad, missing}) {
        SCOPED_TRACE(f);
        HPALETTE pal = 12345;
        EXPECT_EQ(LoadBMPFromFile(f.c_str(), pal), 0u);
        EXPECT_EQ(pal, 12345u); // not written
        EXPECT_EQ(BitmapToRegion(f.c_str(), MAGENTA_REF, 1), 0u);
        EXPECT_EQ(BitmapToRegionTrace.Rects, 0);
        EXPECT_EQ(gdi::LiveGdiObjects(), objects);
        EXPECT_EQ(gdi::LiveGlobalBlocks(), blocks);
    }
    // A success leaves exactly its region: bitmap, palette, section, DCs and buffer are gone.
    const HRGN rgn = BitmapToRegion(good.c_str(), MAGENTA_REF, 1);
    ASSERT_NE(rgn, 0u);
    EXPECT_EQ(gdi::LiveGdiObjects(), objects + 1);
    EXPECT_EQ(gdi::LiveGlobalBlocks(), blocks);
    DeleteObject(rgn);
    EXPECT_EQ(gdi::LiveGdiObjects(), objects);
}

TEST(BitmapToRegion, ImageMagickFilesGiveTheMaskOfTheirOwnPixels) {
    if (!bmp_fixture::HaveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    bmp_fixture::ScratchDir dir;
    // Magenta ground with shapes, a near-magenta patch inside the tolerance, one just
    // outside it, and noise.
    const auto src = dir / "src.png";
    ASSERT_TRUE(bmp_fixture::Convert(
        "-size 61x47 -seed 5 plasma:fractal -fill magenta -draw 'rectangle 0,0 60,12' "
        "-draw 'circle 30,30 30,38' -fill '#FF01FF' -draw 'rectangle 5,15 14,24' "
        "-fill '#FE00FF' -draw 'rectangle 45,15 54,24' '" +
        src.string() + "'"));
    struct Case {
        const char* name;
        std::string options;
        COLORREF trans;
    };
    const Case cases[] = {
        {"1-bit", "-threshold 40% -monochrome -compress None BMP3:", RGB(0, 0, 0)},
        {"4-bit", "-colors 14 -type palette -compress None BMP3:", MAGENTA_REF},
        {"8-bit", "-colors 230 -type palette -compress None BMP3:", MAGENTA_REF},
        {"RLE8", "-colors 230 -type palette -compress RLE BMP3:", MAGENTA_REF},
        {"24-bit", "-type truecolor BMP3:", MAGENTA_REF},
        {"32-bit", "-type truecolormatte BMP:", MAGENTA_REF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir / (std::string(c.name) + ".bmp");
        ASSERT_TRUE(bmp_fixture::Convert("'" + src.string() + "' " + c.options + "'" +
                                         file.string() + "'"));
        const std::vector<uint8_t> rgb = bmp_fixture::ImageMagickRgb(file);
        ASSERT_EQ(rgb.size(), 61u * 47u * 3u);
        const uint8_t lr = c.trans & 0xFF, lg = (c.trans >> 8) & 0xFF, lb = (c.trans >> 16) & 0xFF;
        std::vector<bool> opaque;
        size_t transparent = 0;
        for (size_t i = 0; i < rgb.size(); i += 3) {
            const bool t = rgb[i] >= lr && rgb[i] <= std::min(255, lr + 1) && rgb[i + 1] >= lg &&
                           rgb[i + 1] <= std::min(255, lg + 1) && rgb[i + 2] >= lb &&
                           rgb[i + 2] <= std::min(255, lb + 1);
            opaque.push_back(!t);
            transparent += t;
        }
        // The picture really mixes both kinds of pixel.
        ASSERT_GT(transparent, 200u);
        ASSERT_LT(transparent, opaque.size() - 200);
        const HRGN rgn = BitmapToRegion(file.string().c_str(), c.trans, 1);
        ASSERT_NE(rgn, 0u);
        ExpectCovers(rgn, 61, 47, opaque);
        DeleteObject(rgn);
    }
}
