// DIB sections and BitBlt: every source format converts through its colour table or masks
// to the destination's format, copies clip to both pictures, and bad section requests fail.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32.h"
#include "test_gdi_bmp_fixture.h"

using namespace platform;

namespace {

struct Section {
    HBITMAP bitmap = 0;
    uint8_t* bits = nullptr;
    HDC dc = 0;
    HGDIOBJ old = 0;
    ~Section() {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
    }
};

// A section of the fixture layout, filled with `pixels` (top row first) and selected into a
// memory DC of its own.
void MakeSection(Section& s, const bmp_fixture::Layout& l, const std::vector<uint32_t>& pixels) {
    struct {
        BITMAPINFOHEADER h;
        uint32_t extra[3 + 256];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = l.width;
    info.h.biHeight = l.topDown ? -l.height : l.height;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(l.bitsPerPixel);
    info.h.biCompression = l.compression;
    info.h.biClrUsed = l.colorsUsed;
    size_t at = 0;
    for (uint32_t m : l.masks)
        info.extra[at++] = m;
    if (!l.colors.empty())
        std::memcpy(&info.extra[at], l.colors.data(), l.colors.size() * sizeof(RGBQUAD));
    void* bits = nullptr;
    s.bitmap =
        CreateDIBSection(0, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, 0, 0);
    ASSERT_NE(s.bitmap, 0u);
    s.bits = static_cast<uint8_t*>(bits);
    const std::vector<uint8_t> rows = bmp_fixture::PackRows(l, pixels);
    std::memcpy(s.bits, rows.data(), rows.size());
    s.dc = CreateCompatibleDC(0);
    s.old = SelectObject(s.dc, s.bitmap);
}

bmp_fixture::Layout Shape(int width, int height, int bits, bool topDown = false) {
    bmp_fixture::Layout l;
    l.width = width;
    l.height = height;
    l.bitsPerPixel = bits;
    l.topDown = topDown;
    return l;
}

// Copies the whole section into a top-down 32-bit one and reads its 0x00RRGGBB words.
std::vector<uint32_t> ReadAs32(const Section& src, int width, int height) {
    Section dest;
    MakeSection(dest, Shape(width, height, 32, true),
                std::vector<uint32_t>(width * height, 0xAAAAAAAA));
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, width, height, src.dc, 0, 0, SRCCOPY));
    const auto* w = reinterpret_cast<const uint32_t*>(dest.bits);
    return std::vector<uint32_t>(w, w + width * height);
}

RGBQUAD Quad(uint8_t r, uint8_t g, uint8_t b) {
    return RGBQUAD{b, g, r, 0};
}

struct SourceCase {
    const char* name;
    bmp_fixture::Layout layout;
    std::vector<uint32_t> pixels;   // stored values, top row first
    std::vector<uint32_t> expected; // 0x00RRGGBB after the copy
};

std::vector<SourceCase> SourceCases() {
    std::vector<SourceCase> cases;
    {
        auto l = Shape(9, 1, 1);
        l.colors = {Quad(10, 20, 30), Quad(200, 100, 50)};
        cases.push_back({"1-bit across a byte",
                         l,
                         {1, 0, 1, 1, 0, 0, 0, 0, 1},
                         {0xC86432, 0x0A141E, 0xC86432, 0xC86432, 0x0A141E, 0x0A141E, 0x0A141E,
                          0x0A141E, 0xC86432}});
    }
    {
        auto l = Shape(3, 2, 4, true);
        l.colors = {Quad(1, 2, 3), Quad(4, 5, 6), Quad(7, 8, 9)};
        l.colorsUsed = 3;
        // An index past a short colour table reads as black.
        cases.push_back({"4-bit top-down, short table",
                         l,
                         {0, 1, 2, 2, 5, 0},
                         {0x010203, 0x040506, 0x070809, 0x070809, 0x000000, 0x010203}});
    }
    {
        auto l = Shape(2, 2, 8);
        for (int i = 0; i < 256; ++i)
            l.colors.push_back(Quad(static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7));
        cases.push_back(
            {"8-bit bottom-up", l, {0, 255, 128, 3}, {0x00FF07, 0xFF0007, 0x807F07, 0x03FC07}});
    }
    cases.push_back({"16-bit 5-5-5",
                     Shape(4, 1, 16),
                     {0x7C00, 0x03E0, 0x001F, 0x4210},
                     {0xFF0000, 0x00FF00, 0x0000FF, 0x848484}});
    {
        auto l = Shape(3, 1, 16);
        l.compression = BI_BITFIELDS;
        l.masks = {0xF800, 0x07E0, 0x001F};
        cases.push_back({"16-bit 5-6-5 bit fields",
                         l,
                         {0xF800, 0x0400, 0xFFFF},
                         {0xFF0000, 0x008200, 0xFFFFFF}});
    }
    cases.push_back({"24-bit",
                     Shape(2, 2, 24),
                     {0x123456, 0xABCDEF, 0x000001, 0xFF0000},
                     {0x123456, 0xABCDEF, 0x000001, 0xFF0000}});
    // Between two 32-bit pictures the words travel whole, top byte included.
    cases.push_back({"32-bit, copied word for word",
                     Shape(2, 1, 32, true),
                     {0xFF123456, 0x80000000},
                     {0xFF123456, 0x80000000}});
    {
        auto l = Shape(2, 1, 32);
        l.compression = BI_BITFIELDS;
        l.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
        cases.push_back(
            {"32-bit swapped bit fields", l, {0x00563412, 0x000000FF}, {0x123456, 0xFF0000}});
    }
    return cases;
}

} // namespace

TEST(GdiBitBlt, EverySourceFormatConvertsTo32Bits) {
    for (const SourceCase& c : SourceCases()) {
        SCOPED_TRACE(c.name);
        Section src;
        MakeSection(src, c.layout, c.pixels);
        const std::vector<uint32_t> got = ReadAs32(src, c.layout.width, c.layout.height);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], c.expected[i]) << "pixel " << i;
    }
}

TEST(GdiBitBlt, ConvertsIntoEachDestinationFormat) {
    Section src;
    // The top byte is no colour: it is dropped on the way to any other format.
    MakeSection(src, Shape(4, 1, 32, true), {0xFFFF0000, 0x8000FF00, 0x5A5A5A, 0x01FAFAFA});

    Section d24;
    MakeSection(d24, Shape(4, 1, 24), std::vector<uint32_t>(4, 0));
    ASSERT_TRUE(BitBlt(d24.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
    const uint8_t want24[] = {0, 0, 255, 0, 255, 0, 90, 90, 90, 250, 250, 250};
    EXPECT_EQ(std::memcmp(d24.bits, want24, sizeof want24), 0);

    Section d16;
    MakeSection(d16, Shape(4, 1, 16), std::vector<uint32_t>(4, 0));
    ASSERT_TRUE(BitBlt(d16.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
    uint16_t words[4];
    std::memcpy(words, d16.bits, sizeof words);
    EXPECT_EQ(words[0], 0x7C00);
    EXPECT_EQ(words[1], 0x03E0);
    EXPECT_EQ(words[2], 0x2D6B); // 90 -> 11 of 31
    EXPECT_EQ(words[3], 0x7FFF); // 250 -> 31 of 31: the top bits are kept

    // Palette destinations take the nearest colour of their table.
    auto l8 = Shape(4, 1, 8);
    l8.colors = {Quad(0, 0, 0), Quad(255, 0, 0), Quad(0, 200, 0), Quad(255, 255, 255)};
    l8.colorsUsed = 4;
    Section d8;
    MakeSection(d8, l8, std::vector<uint32_t>(4, 0));
    ASSERT_TRUE(BitBlt(d8.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(d8.bits[0], 1);
    EXPECT_EQ(d8.bits[1], 2);
    EXPECT_EQ(d8.bits[2], 0); // dark grey is nearest black
    EXPECT_EQ(d8.bits[3], 3);

    auto l1 = Shape(4, 1, 1);
    l1.colors = {Quad(0, 0, 0), Quad(255, 255, 255)};
    Section d1;
    MakeSection(d1, l1, std::vector<uint32_t>(4, 0));
    ASSERT_TRUE(BitBlt(d1.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(d1.bits[0] & 0xF0, 0x10);
}

TEST(GdiBitBlt, ClipsToBothPictures) {
    std::vector<uint32_t> picture(16);
    for (int i = 0; i < 16; ++i)
        picture[i] = 0x010101u * static_cast<uint32_t>(i + 1);
    Section src;
    MakeSection(src, Shape(4, 4, 32), picture);

    struct Case {
        int x, y, w, h, sx, sy;
    };
    const Case cases[] = {
        {2, 2, 4, 4, 0, 0},     // runs off the destination
        {-1, -1, 4, 4, 0, 0},   // starts before the destination
        {0, 0, 4, 4, -2, 1},    // starts before the source
        {1, 0, 100, 100, 3, 3}, // far past both
        {0, 0, 0, 4, 0, 0},     // empty
        {0, 0, 4, 4, 9, 9},     // entirely outside the source
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h << " from "
                                        << c.sx << "," << c.sy);
        Section dest;
        MakeSection(dest, Shape(4, 4, 32, true), std::vector<uint32_t>(16, 0xEE));
        ASSERT_TRUE(BitBlt(dest.dc, c.x, c.y, c.w, c.h, src.dc, c.sx, c.sy, SRCCOPY));
        const auto* got = reinterpret_cast<const uint32_t*>(dest.bits);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const int u = x - c.x + c.sx, v = y - c.y + c.sy;
                const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h &&
                                    u >= 0 && u < 4 && v >= 0 && v < 4;
                EXPECT_EQ(got[y * 4 + x], inside ? picture[v * 4 + u] : 0xEEu) << x << "," << y;
            }
    }
}

TEST(GdiBitBlt, OverlappingCopyWithinOnePicture) {
    for (const bool topDown : {false, true}) {
        for (const int bits : {8, 24, 32}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << topDown);
            auto l = Shape(5, 5, bits, topDown);
            for (int i = 0; i < 256; ++i)
                l.colors.push_back(Quad(static_cast<uint8_t>(i), 0, 0));
            std::vector<uint32_t> picture(25);
            for (int i = 0; i < 25; ++i)
                picture[i] = bits == 8 ? static_cast<uint32_t>(i + 1) : 0x010000u * (i + 1);
            Section s;
            MakeSection(s, l, picture);
            // Down and right by one, then back up and left by one.
            ASSERT_TRUE(BitBlt(s.dc, 1, 1, 4, 4, s.dc, 0, 0, SRCCOPY));
            std::vector<uint32_t> want = picture;
            for (int y = 1; y < 5; ++y)
                for (int x = 1; x < 5; ++x)
                    want[y * 5 + x] = picture[(y - 1) * 5 + x - 1];
            std::vector<uint32_t> got = ReadAs32(s, 5, 5);
            for (int i = 0; i < 25; ++i)
                EXPECT_EQ(got[i], bits == 8 ? want[i] << 16 : want[i]) << "pixel " << i;

            ASSERT_TRUE(BitBlt(s.dc, 0, 0, 4, 4, s.dc, 1, 1, SRCCOPY));
            std::vector<uint32_t> back = want;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    back[y * 5 + x] = want[(y + 1) * 5 + x + 1];
            got = ReadAs32(s, 5, 5);
            for (int i = 0; i < 25; ++i)
                EXPECT_EQ(got[i], bits == 8 ? back[i] << 16 : back[i]) << "pixel " << i;
        }
    }
}

TEST(GdiBitBlt, OnlySourceCopyIsProvided) {
    Section a, b;
    MakeSection(a, Shape(1, 1, 32), {0x123456});
    MakeSection(b, Shape(1, 1, 32), {0});
    EXPECT_FALSE(BitBlt(b.dc, 0, 0, 1, 1, a.dc, 0, 0, 0x00EE0086 /* SRCPAINT */));
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(b.bits), 0u);
}

TEST(GdiDibSection, ColourTableReadsOnlyTheEntriesThePictureHas) {
    auto l = Shape(2, 2, 4);
    l.colors = {Quad(1, 2, 3), Quad(4, 5, 6), Quad(7, 8, 9)};
    l.colorsUsed = 3;
    Section s;
    MakeSection(s, l, {0, 1, 2, 0});
    RGBQUAD table[256] = {};
    EXPECT_EQ(GetDIBColorTable(s.dc, 0, 256, table), 3u);
    EXPECT_EQ(table[2].rgbRed, 7);
    EXPECT_EQ(table[2].rgbBlue, 9);
    EXPECT_EQ(table[3].rgbRed, 0);
    EXPECT_EQ(GetDIBColorTable(s.dc, 1, 1, table), 1u);
    EXPECT_EQ(table[0].rgbRed, 4);
    EXPECT_EQ(GetDIBColorTable(s.dc, 3, 1, table), 0u);

    Section rgb;
    MakeSection(rgb, Shape(1, 1, 24), {0});
    EXPECT_EQ(GetDIBColorTable(rgb.dc, 0, 256, table), 0u);
    const HDC empty = CreateCompatibleDC(0); // holds the stock monochrome bitmap
    EXPECT_EQ(GetDIBColorTable(empty, 0, 256, table), 0u);
    DeleteDC(empty);
}

TEST(GdiDibSection, RefusesWhatItCannotHold) {
    struct Case {
        const char* name;
        LONG width, height;
        WORD planes, bits;
        DWORD compression;
        uint32_t masks[3];
        UINT usage;
        HANDLE section;
    };
    const Case cases[] = {
        {"2 bits", 4, 4, 1, 2, BI_RGB, {}, DIB_RGB_COLORS, 0},
        {"zero width", 0, 4, 1, 32, BI_RGB, {}, DIB_RGB_COLORS, 0},
        {"zero height", 4, 0, 1, 32, BI_RGB, {}, DIB_RGB_COLORS, 0},
        {"two planes", 4, 4, 2, 32, BI_RGB, {}, DIB_RGB_COLORS, 0},
        {"run-length", 4, 4, 1, 8, BI_RLE8, {}, DIB_RGB_COLORS, 0},
        {"bit fields at 24 bits",
         4,
         4,
         1,
         24,
         BI_BITFIELDS,
         {0xFF0000, 0xFF00, 0xFF},
         DIB_RGB_COLORS,
         0},
        {"overlapping masks",
         4,
         4,
         1,
         32,
         BI_BITFIELDS,
         {0xFF0000, 0xFFFF00, 0xFF},
         DIB_RGB_COLORS,
         0},
        {"split mask", 4, 4, 1, 16, BI_BITFIELDS, {0xF00F, 0x0F00, 0x00F0}, DIB_RGB_COLORS, 0},
        {"mask past 16 bits",
         4,
         4,
         1,
         16,
         BI_BITFIELDS,
         {0x70000, 0x0F00, 0x00F0},
         DIB_RGB_COLORS,
         0},
        {"palette indices", 4, 4, 1, 8, BI_RGB, {}, 1 /* DIB_PAL_COLORS */, 0},
        {"file mapping", 4, 4, 1, 32, BI_RGB, {}, DIB_RGB_COLORS, 1234},
        {"too wide", 40000, 1, 1, 8, BI_RGB, {}, DIB_RGB_COLORS, 0},
        {"too many pixels", 10000, -10000, 1, 8, BI_RGB, {}, DIB_RGB_COLORS, 0},
        {"most negative height", 4, INT32_MIN, 1, 8, BI_RGB, {}, DIB_RGB_COLORS, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        struct {
            BITMAPINFOHEADER h;
            uint32_t masks[3];
            RGBQUAD colors[256];
        } info{};
        info.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                                  c.width,
                                  c.height,
                                  c.planes,
                                  c.bits,
                                  c.compression,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0};
        std::memcpy(info.masks, c.masks, sizeof info.masks);
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(
            CreateDIBSection(0, reinterpret_cast<BITMAPINFO*>(&info), c.usage, &bits, c.section, 0),
            0u);
        EXPECT_EQ(bits, nullptr);
    }
    EXPECT_EQ(CreateDIBSection(0, nullptr, DIB_RGB_COLORS, nullptr, 0, 0), 0u);
}

TEST(GdiDibSection, BigSectionsStartZeroedAlsoWhenTheirMemoryIsReused) {
    // Sections of a few megabytes, made and released in turn, as pictures are loaded.
    for (const int side : {1024, 1024, 900, 1024}) {
        SCOPED_TRACE(side);
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{40, side, side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP b = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
        ASSERT_NE(b, 0u);
        auto* words = static_cast<uint32_t*>(bits);
        const size_t n = size_t(side) * side;
        size_t nonzero = 0;
        for (size_t i = 0; i < n; ++i)
            nonzero += words[i] != 0;
        EXPECT_EQ(nonzero, 0u);
        std::memset(bits, 0xA5, n * 4); // dirty it for the next round
        EXPECT_TRUE(DeleteObject(b));
    }
}
