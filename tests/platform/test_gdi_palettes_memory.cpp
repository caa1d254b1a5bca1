// Palettes (logical and halftone, selection into DCs) and movable global memory.
#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32.h"

using namespace platform;

TEST(GdiPalettes, LogicalPaletteKeepsItsEntries) {
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    for (int i = 0; i < 3; ++i)
        lp->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(10 * i), 7, 0};
    const HPALETTE pal = CreatePalette(lp);
    ASSERT_NE(pal, 0u);
    WORD count = 0;
    EXPECT_EQ(GetObjectA(pal, sizeof count, &count), 2);
    EXPECT_EQ(count, 3);
    PALETTEENTRY out[4] = {};
    EXPECT_EQ(GetPaletteEntries(pal, 1, 4, out), 2u);
    EXPECT_EQ(out[0].peGreen, 10);
    EXPECT_EQ(out[1].peGreen, 20);
    EXPECT_EQ(GetPaletteEntries(pal, 3, 1, out), 0u);

    lp->palNumEntries = 0;
    EXPECT_EQ(CreatePalette(lp), 0u);
    lp->palNumEntries = 3;
    lp->palVersion = 0x100;
    EXPECT_EQ(CreatePalette(lp), 0u);
    EXPECT_EQ(CreatePalette(nullptr), 0u);
}

TEST(GdiPalettes, HalftonePaletteHasTheStaticColoursAndTheCube) {
    const HDC dc = CreateCompatibleDC(0);
    const HPALETTE pal = CreateHalftonePalette(dc);
    ASSERT_NE(pal, 0u);
    PALETTEENTRY e[256];
    ASSERT_EQ(GetPaletteEntries(pal, 0, 256, e), 256u);
    auto rgb = [](const PALETTEENTRY& p) { return std::make_tuple(p.peRed, p.peGreen, p.peBlue); };
    // Black first, white last, the reserved colours at both ends.
    EXPECT_EQ(rgb(e[0]), std::make_tuple(0, 0, 0));
    EXPECT_EQ(rgb(e[7]), std::make_tuple(192, 192, 192));
    EXPECT_EQ(rgb(e[249]), std::make_tuple(255, 0, 0));
    EXPECT_EQ(rgb(e[255]), std::make_tuple(255, 255, 255));
    std::set<std::tuple<int, int, int>> colours;
    for (const auto& p : e)
        colours.insert(rgb(p));
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51)
                EXPECT_TRUE(colours.count({r, g, b})) << r << g << b;

    // Selecting gives back the default palette; realising maps what the palette holds.
    const HPALETTE previous = SelectPalette(dc, pal, FALSE);
    EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(RealizePalette(dc), 256u);
    EXPECT_EQ(SelectPalette(dc, previous, FALSE), pal);
    EXPECT_TRUE(DeleteObject(pal));
    EXPECT_EQ(SelectPalette(dc, pal, FALSE), 0u);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GlobalMemory, GrowingKeepsTheContents) {
    const HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 1632);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(GlobalSize(h), 1632u);
    auto* p = static_cast<uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (size_t i = 0; i < 1632; ++i)
        p[i] = static_cast<uint8_t>(i * 7);
    EXPECT_FALSE(GlobalUnlock(h));

    ASSERT_EQ(GlobalReAlloc(h, 3232, GMEM_MOVEABLE), h);
    EXPECT_EQ(GlobalSize(h), 3232u);
    p = static_cast<uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (size_t i = 0; i < 1632; ++i)
        ASSERT_EQ(p[i], static_cast<uint8_t>(i * 7)) << i;
    for (size_t i = 1632; i < 3232; ++i)
        ASSERT_EQ(p[i], 0) << i;

    // Shrinking keeps the front; growing again shows zeros, not the old tail.
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, 10, GMEM_MOVEABLE), h);
    p = static_cast<uint8_t*>(GlobalLock(h));
    p[9] = 99;
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, 20, GMEM_MOVEABLE), h);
    p = static_cast<uint8_t*>(GlobalLock(h));
    EXPECT_EQ(p[9], 99);
    EXPECT_EQ(p[10], 0);
    EXPECT_EQ(p[11], 0);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), 0u);
}

TEST(GlobalMemory, LocksCountAndStaleHandlesFail) {
    const HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 64);
    void* first = GlobalLock(h);
    EXPECT_EQ(GlobalLock(h), first);
    EXPECT_TRUE(GlobalUnlock(h));  // still locked once
    EXPECT_FALSE(GlobalUnlock(h)); // now unlocked
    EXPECT_FALSE(GlobalUnlock(h)); // was not locked

    // A locked block may only move when the caller says it may.
    ASSERT_NE(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), 0u);
    EXPECT_EQ(GlobalSize(h), 64u);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE), h);
    GlobalUnlock(h);

    EXPECT_EQ(GlobalFree(h), 0u);
    EXPECT_EQ(GlobalFree(h), h); // the handle back: it named nothing
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalReAlloc(h, 8, GMEM_MOVEABLE), 0u);
    EXPECT_EQ(GlobalLock(0), nullptr);
    // Absurd sizes fail like exhausted memory, with the block left as it was.
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, size_t{1} << 40), 0u);
    const HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_EQ(GlobalReAlloc(g, size_t{1} << 40, GMEM_MOVEABLE), 0u);
    EXPECT_EQ(GlobalSize(g), 4u);
    GlobalFree(g);
}
