// The GDI object table: selection gives back the previous object, deletion respects what
// is still selected, and stale, foreign or 0 handles fail instead of crashing.
#include <cstring>

#include <gtest/gtest.h>

#include "../../platform/src/gdi_internal.h"
#include "platform/win32.h"

using namespace platform;

namespace {

HBITMAP MakeSection(int width, int height, int bits, void** pixels = nullptr) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = width;
    info.h.biHeight = height;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bits);
    void* p = nullptr;
    const HBITMAP b =
        CreateDIBSection(0, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &p, 0, 0);
    if (pixels) *pixels = p;
    return b;
}

} // namespace

TEST(GdiObjects, SelectObjectReturnsThePreviousBitmap) {
    const HDC dc = CreateCompatibleDC(0);
    ASSERT_NE(dc, 0u);
    const HBITMAP a = MakeSection(4, 4, 32), b = MakeSection(2, 2, 8);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);

    // A new memory DC holds a 1 x 1 monochrome bitmap, which comes back first.
    const HGDIOBJ original = SelectObject(dc, a);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(original, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);

    EXPECT_EQ(SelectObject(dc, b), a);
    EXPECT_EQ(SelectObject(dc, b), b);
    EXPECT_EQ(SelectObject(dc, original), b);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, ABitmapLivesInOneDcAtATime) {
    const HDC first = CreateCompatibleDC(0), second = CreateCompatibleDC(first);
    const HBITMAP b = MakeSection(3, 3, 24);
    const HGDIOBJ stock = SelectObject(first, b);
    ASSERT_NE(stock, 0u);
    EXPECT_EQ(SelectObject(second, b), 0u);
    // Once put back it may move on; the stock bitmap sits in both DCs meanwhile.
    EXPECT_EQ(SelectObject(first, stock), b);
    EXPECT_EQ(SelectObject(second, b), stock);
    EXPECT_EQ(SelectObject(first, b), 0u);
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_EQ(SelectObject(first, b), stock);
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_TRUE(DeleteObject(b));
}

TEST(GdiObjects, DeletingASelectedBitmapFailsAndDeleteDcLeavesItAlive) {
    const HDC dc = CreateCompatibleDC(0);
    void* pixels = nullptr;
    const HBITMAP b = MakeSection(8, 2, 32, &pixels);
    ASSERT_NE(pixels, nullptr);
    const HGDIOBJ old = SelectObject(dc, b);
    const HPALETTE pal = CreateHalftonePalette(dc);
    const HPALETTE oldPal = SelectPalette(dc, pal, FALSE);
    ASSERT_NE(oldPal, 0u);

    // The DC would be left pointing at freed pixels.
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(pal));
    static_cast<uint32_t*>(pixels)[0] = 0x123456; // still the bitmap's memory

    // DeleteDC puts the objects back but leaves them to their owner.
    EXPECT_TRUE(DeleteDC(dc));
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(b, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(static_cast<uint32_t*>(bm.bmBits)[0], 0x123456u);
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 256u);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteObject(pal));
    // The stock objects the DC started with are untouched.
    EXPECT_EQ(GetObjectA(old, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(GetPaletteEntries(oldPal, 0, 0, nullptr), 20u);
}

TEST(GdiObjects, PuttingTheOldObjectsBackFreesTheBitmapForDeletion) {
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP b = MakeSection(2, 2, 8);
    const HGDIOBJ old = SelectObject(dc, b);
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_EQ(SelectObject(dc, old), b);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, StaleForeignAndZeroHandlesFail) {
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP b = MakeSection(2, 2, 32);
    const HRGN rgn = CreateRectRgn(0, 0, 1, 1);
    ASSERT_TRUE(DeleteDC(dc));
    ASSERT_TRUE(DeleteObject(b));
    ASSERT_TRUE(DeleteObject(rgn));

    BITMAP bm{};
    RGBQUAD table[2];
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(rgn));
    EXPECT_FALSE(DeleteObject(0));
    EXPECT_EQ(CreateCompatibleDC(dc), 0u);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), 0u);
    EXPECT_EQ(GetObjectA(b, sizeof bm, &bm), 0);
    EXPECT_EQ(GetObjectA(0, sizeof bm, &bm), 0);
    EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE), 0u);
    EXPECT_EQ(RealizePalette(dc), GDI_ERROR);
    EXPECT_EQ(GetDIBColorTable(dc, 0, 2, table), 0u);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_EQ(CreateHalftonePalette(0), 0u);

    // A handle of one kind is never a handle of another.
    const HDC live = CreateCompatibleDC(0);
    const HRGN region = CreateRectRgn(0, 0, 2, 2);
    EXPECT_EQ(SelectObject(live, live), 0u);
    EXPECT_EQ(SelectObject(region, GetStockObject(BLACK_BRUSH)), 0u);
    EXPECT_FALSE(DeleteDC(region));
    EXPECT_EQ(GetObjectA(region, sizeof bm, &bm), 0);
    EXPECT_EQ(SelectObject(live, region), 0u); // clip regions are not selectable here
}

TEST(GdiObjects, GetObjectDescribesADibSection) {
    void* pixels = nullptr;
    const HBITMAP b = MakeSection(5, -3, 24, &pixels); // top-down
    ASSERT_NE(b, 0u);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(b, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmType, 0);
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);      // positive, whatever the row order
    EXPECT_EQ(bm.bmWidthBytes, 16); // 15 bytes padded to 4
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_EQ(bm.bmBits, pixels);

    // A short buffer gets the leading fields only, and nothing past its end is written.
    unsigned char buffer[24];
    std::memset(buffer, 0xAB, sizeof buffer);
    EXPECT_EQ(GetObjectA(b, 20, buffer), 20);
    EXPECT_EQ(std::memcmp(buffer, &bm, 20), 0);
    EXPECT_EQ(buffer[20], 0xAB);
    EXPECT_EQ(GetObjectA(b, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
}

TEST(GdiObjects, StockObjectsSurviveDeletion) {
    const HGDIOBJ hollow = GetStockObject(NULL_BRUSH);
    const HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    ASSERT_NE(hollow, 0u);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), hollow);
    EXPECT_EQ(GetStockObject(999), 0u);
    EXPECT_TRUE(DeleteObject(hollow));
    COLORREF c = 1;
    EXPECT_FALSE(gdi::BrushColor(hollow, &c)); // still there, still hollow
    EXPECT_TRUE(gdi::BrushColor(white, &c));
    EXPECT_EQ(c, RGB(255, 255, 255));

    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const HDC dc = CreateCompatibleDC(0);
    EXPECT_EQ(SelectObject(dc, red), 0u); // no brush before
    EXPECT_EQ(SelectObject(dc, white), red);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, WindowDcsDrawIntoTheirSurface) {
    gdi::Surface surface{3, 2, std::vector<uint32_t>(6, 0)};
    const HDC wdc = gdi::CreateWindowDC(77, &surface);
    ASSERT_NE(wdc, 0u);
    EXPECT_EQ(gdi::WindowOfDC(wdc), 77u);

    const HDC mem = CreateCompatibleDC(wdc);
    void* pixels = nullptr;
    const HBITMAP b = MakeSection(3, -2, 32, &pixels);
    auto* words = static_cast<uint32_t*>(pixels);
    for (int i = 0; i < 6; ++i)
        words[i] = 0x00102030u * static_cast<uint32_t>(i + 1);
    const HGDIOBJ old = SelectObject(mem, b);
    EXPECT_EQ(gdi::WindowOfDC(mem), 0u);

    // Bitmaps go into memory DCs only; window DCs draw into the window.
    EXPECT_EQ(SelectObject(wdc, b), 0u);
    EXPECT_FALSE(DeleteDC(wdc));
    ASSERT_TRUE(BitBlt(wdc, 0, 0, 3, 2, mem, 0, 0, SRCCOPY));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(surface.pixels[i], words[i]) << i;

    // Retargeted at another surface, it draws there; at none, it draws nowhere.
    gdi::Surface other{1, 1, {0}};
    gdi::RetargetWindowDC(wdc, &other);
    ASSERT_TRUE(BitBlt(wdc, 0, 0, 3, 2, mem, 2, 1, SRCCOPY));
    EXPECT_EQ(other.pixels[0], words[5]);
    gdi::RetargetWindowDC(wdc, nullptr);
    EXPECT_FALSE(BitBlt(wdc, 0, 0, 1, 1, mem, 0, 0, SRCCOPY));

    EXPECT_FALSE(gdi::ReleaseWindowDC(mem));
    EXPECT_TRUE(gdi::ReleaseWindowDC(wdc));
    EXPECT_FALSE(gdi::ReleaseWindowDC(wdc));
    EXPECT_EQ(gdi::WindowOfDC(wdc), 0u);
    SelectObject(mem, old);
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_TRUE(DeleteObject(b));
}

TEST(GdiObjects, TheScreenDcHasNoPixelsButMakesCompatibleDcs) {
    const HDC screen = gdi::CreateWindowDC(0, nullptr);
    ASSERT_NE(screen, 0u);
    EXPECT_EQ(gdi::WindowOfDC(screen), 0u);
    const HDC mem = CreateCompatibleDC(screen);
    EXPECT_NE(mem, 0u);
    EXPECT_FALSE(BitBlt(screen, 0, 0, 1, 1, mem, 0, 0, SRCCOPY));
    EXPECT_NE(CreateHalftonePalette(screen), 0u);
    EXPECT_TRUE(gdi::ReleaseWindowDC(screen));
    EXPECT_TRUE(DeleteDC(mem));
}
