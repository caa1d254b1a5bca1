// LoadImageA of BMP files: every depth and encoding gives the pixels ImageMagick reads from
// the same file, keeps its depth and colour table, and every bad file gives 0.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32.h"
#include "test_gdi_bmp_fixture.h"

using namespace platform;
using bmp_fixture::Layout;

namespace {

constexpr UINT kFromFile = LR_LOADFROMFILE | LR_CREATEDIBSECTION;

HBITMAP Load(const std::filesystem::path& path, UINT flags = kFromFile) {
    return static_cast<HBITMAP>(LoadImageA(0, path.c_str(), IMAGE_BITMAP, 0, 0, flags));
}

// The picture as 8-bit red, green, blue, top row first, through a BitBlt into a 32-bit section.
std::vector<uint8_t> Rgb(HBITMAP bitmap) {
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{40, bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP dest = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
    const HDC src = CreateCompatibleDC(0), dst = CreateCompatibleDC(0);
    const HGDIOBJ oldSrc = SelectObject(src, bitmap), oldDst = SelectObject(dst, dest);
    EXPECT_TRUE(BitBlt(dst, 0, 0, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY));
    std::vector<uint8_t> out;
    const auto* words = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < bm.bmWidth * bm.bmHeight; ++i) {
        out.push_back(static_cast<uint8_t>(words[i] >> 16));
        out.push_back(static_cast<uint8_t>(words[i] >> 8));
        out.push_back(static_cast<uint8_t>(words[i]));
    }
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(dest);
    return out;
}

int ColourTableSize(HBITMAP bitmap) {
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    RGBQUAD table[256];
    const int n = static_cast<int>(GetDIBColorTable(dc, 0, 256, table));
    SelectObject(dc, old);
    DeleteDC(dc);
    return n;
}

uint32_t HeaderField(const std::filesystem::path& path, size_t at, size_t bytes) {
    std::ifstream f(path, std::ios::binary);
    std::vector<char> head(64);
    f.read(head.data(), 64);
    uint32_t v = 0;
    std::memcpy(&v, head.data() + at, bytes);
    return v;
}

RGBQUAD Quad(uint8_t r, uint8_t g, uint8_t b) {
    return RGBQUAD{b, g, r, 0};
}

// Red, green, blue bytes of the listed colour of each pixel.
std::vector<uint8_t> ThroughTable(const std::vector<RGBQUAD>& table,
                                  const std::vector<uint32_t>& idx) {
    std::vector<uint8_t> out;
    for (uint32_t i : idx) {
        const RGBQUAD q = i < table.size() ? table[i] : RGBQUAD{0, 0, 0, 0};
        out.insert(out.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
    }
    return out;
}

std::vector<RGBQUAD> FourColours() {
    return {Quad(0, 0, 0), Quad(255, 0, 0), Quad(0, 255, 0), Quad(0, 0, 255)};
}

} // namespace

TEST(GdiBmpFiles, ImageMagickFilesReadAsImageMagickReadsThem) {
    if (!bmp_fixture::HaveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    bmp_fixture::ScratchDir dir;
    const auto src = dir / "src.png";
    ASSERT_TRUE(bmp_fixture::Convert("-size 37x23 -seed 3 plasma:fractal '" + src.string() + "'"));
    struct Case {
        const char* name;
        std::string options;
        int bits;
        uint32_t compression;
    };
    const Case cases[] = {
        {"1-bit", "-threshold 40% -monochrome -compress None BMP3:", 1, BI_RGB},
        {"4-bit", "-colors 12 -type palette -compress None BMP3:", 4, BI_RGB},
        {"8-bit", "-colors 200 -type palette -compress None BMP3:", 8, BI_RGB},
        {"RLE8", "-colors 200 -type palette -compress RLE BMP3:", 8, BI_RLE8},
        {"16-bit 5-6-5", "-type truecolor -define bmp:subtype=RGB565 BMP:", 16, BI_BITFIELDS},
        {"24-bit", "-type truecolor BMP3:", 24, BI_RGB},
        {"32-bit", "-type truecolormatte BMP:", 32, BI_BITFIELDS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir / (std::string(c.name) + ".bmp");
        ASSERT_TRUE(bmp_fixture::Convert("'" + src.string() + "' " + c.options + "'" +
                                         file.string() + "'"));
        // The file really is what the case is about.
        ASSERT_EQ(HeaderField(file, 28, 2), static_cast<uint32_t>(c.bits));
        ASSERT_EQ(HeaderField(file, 30, 4), c.compression);

        const HBITMAP b = Load(file);
        ASSERT_NE(b, 0u);
        BITMAP bm{};
        ASSERT_EQ(GetObjectA(b, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmWidth, 37);
        EXPECT_EQ(bm.bmHeight, 23);
        EXPECT_EQ(bm.bmBitsPixel, c.bits); // the file's own depth
        EXPECT_NE(bm.bmBits, nullptr);     // a DIB section
        if (c.bits <= 8) {
            const uint32_t used = HeaderField(file, 46, 4);
            EXPECT_EQ(ColourTableSize(b), static_cast<int>(used ? used : 1u << c.bits));
        }
        const std::vector<uint8_t> want = bmp_fixture::ImageMagickRgb(file);
        ASSERT_EQ(want.size(), 37u * 23u * 3u);
        EXPECT_EQ(Rgb(b), want);
        EXPECT_TRUE(DeleteObject(b));
    }
}

TEST(GdiBmpFiles, HandBuiltEncodingsDecode) {
    bmp_fixture::ScratchDir dir;
    struct Case {
        const char* name;
        Layout layout;
        std::vector<uint8_t> data;   // pixel bytes as stored
        std::vector<uint8_t> expect; // red, green, blue, top row first
    };
    std::vector<Case> cases;
    {
        Layout l;
        l.width = 5, l.height = 3, l.bitsPerPixel = 4, l.compression = BI_RLE4;
        l.colors = FourColours();
        l.colorsUsed = 4;
        // Bottom row: a run of 5 alternating 1, 2; middle row: absolute 3, 0, 1; then a
        // delta of (1, 1) to x = 4 of the top row, a run of 1 of index 3, end of picture.
        // Skipped pixels are index 0.
        const std::vector<uint8_t> data = {5, 0x12, 0, 0, 0, 3,    0x30, 0x10,
                                           0, 2,    1, 1, 1, 0x33, 0,    1};
        cases.push_back({"RLE4 with delta", l, data,
                         ThroughTable(l.colors, {0, 0, 0, 0, 3, 3, 0, 1, 0, 0, 1, 2, 1, 2, 1})});
    }
    {
        Layout l;
        l.width = 4, l.height = 2, l.bitsPerPixel = 8, l.compression = BI_RLE8;
        l.colors = FourColours();
        l.colorsUsed = 4;
        // Bottom: absolute 3 pixels (padded to even), then a run of 1; top: run of 4.
        const std::vector<uint8_t> data = {0, 3, 2, 1, 3, 0, 1, 2, 0, 0, 4, 1, 0, 1};
        cases.push_back(
            {"RLE8 absolute and runs", l, data, ThroughTable(l.colors, {1, 1, 1, 1, 2, 1, 3, 2})});
    }
    for (const int bits : {1, 4, 8}) {
        Layout l;
        l.width = 3, l.height = 2, l.bitsPerPixel = bits, l.topDown = true;
        l.colors = {Quad(9, 8, 7), Quad(1, 2, 3)};
        l.colorsUsed = 2;
        const std::vector<uint32_t> idx = {1, 0, 1, 0, 0, 1};
        cases.push_back({bits == 1   ? "top-down 1-bit"
                         : bits == 4 ? "top-down 4-bit"
                                     : "top-down 8-bit",
                         l, bmp_fixture::PackRows(l, idx), ThroughTable(l.colors, idx)});
    }
    {
        Layout l;
        l.width = 2, l.height = 2, l.bitsPerPixel = 24, l.topDown = true;
        cases.push_back({"top-down 24-bit",
                         l,
                         bmp_fixture::PackRows(l, {0x102030, 0x405060, 0x708090, 0xA0B0C0}),
                         {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0}});
    }
    {
        Layout l;
        l.width = 2, l.height = 1, l.bitsPerPixel = 8, l.os2 = true;
        for (int i = 0; i < 256; ++i)
            l.colors.push_back(Quad(static_cast<uint8_t>(i), 0, 0));
        cases.push_back(
            {"OS/2 header", l, bmp_fixture::PackRows(l, {7, 200}), {7, 0, 0, 200, 0, 0}});
    }
    {
        Layout l;
        l.width = 3, l.height = 1, l.bitsPerPixel = 16;
        cases.push_back({"16-bit 5-5-5",
                         l,
                         bmp_fixture::PackRows(l, {0x7C00, 0x03E0, 0x001F}),
                         {255, 0, 0, 0, 255, 0, 0, 0, 255}});
    }
    {
        Layout l;
        l.width = 2, l.height = 1, l.bitsPerPixel = 32, l.compression = BI_BITFIELDS;
        l.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
        cases.push_back({"32-bit bit fields after the header",
                         l,
                         bmp_fixture::PackRows(l, {0x00030201, 0xFF0000FF}),
                         {1, 2, 3, 255, 0, 0}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir / "f.bmp";
        bmp_fixture::WriteFile(file, bmp_fixture::WriteBmp(c.layout, c.data));
        const HBITMAP b = Load(file);
        ASSERT_NE(b, 0u);
        BITMAP bm{};
        GetObjectA(b, sizeof bm, &bm);
        EXPECT_EQ(bm.bmBitsPixel, c.layout.bitsPerPixel);
        if (c.layout.bitsPerPixel <= 8) {
            EXPECT_EQ(ColourTableSize(b), static_cast<int>(c.layout.colors.size()));
        }
        EXPECT_EQ(Rgb(b), c.expect);
        DeleteObject(b);
    }
}

TEST(GdiBmpFiles, IndicesPastAShortColourTableReadAsBlack) {
    bmp_fixture::ScratchDir dir;
    Layout l;
    l.width = 3, l.height = 1, l.bitsPerPixel = 8;
    l.colors = {Quad(10, 20, 30), Quad(40, 50, 60)};
    l.colorsUsed = 2;
    const std::vector<uint8_t> want = {40, 50, 60, 0, 0, 0, 0, 0, 0};
    bmp_fixture::WriteFile(dir / "raw.bmp",
                           bmp_fixture::WriteBmp(l, bmp_fixture::PackRows(l, {1, 2, 255})));
    l.compression = BI_RLE8;
    bmp_fixture::WriteFile(dir / "rle.bmp", bmp_fixture::WriteBmp(l, {1, 1, 1, 2, 1, 255, 0, 1}));
    for (const char* name : {"raw.bmp", "rle.bmp"}) {
        SCOPED_TRACE(name);
        const HBITMAP b = Load(dir / name);
        ASSERT_NE(b, 0u);
        EXPECT_EQ(Rgb(b), want);
        DeleteObject(b);
    }
}

TEST(GdiBmpFiles, BigPicturesReadLikeSmallOnes) {
    // Megabytes of rows, at every depth whose rows can stay where the file has them, and at
    // 32 bits behind the 14-byte file header, which puts them off their alignment.
    bmp_fixture::ScratchDir dir;
    for (const int bits : {8, 24, 32}) {
        SCOPED_TRACE(bits);
        Layout l;
        l.width = 1030, l.height = 1100, l.bitsPerPixel = bits;
        for (int i = 0; i < 256; ++i)
            l.colors.push_back(Quad(static_cast<uint8_t>(i), 7, 9));
        std::vector<uint32_t> px(size_t(l.width) * l.height);
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = bits == 8 ? static_cast<uint32_t>(i * 7 % 251)
                              : static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        bmp_fixture::WriteFile(dir / "big.bmp",
                               bmp_fixture::WriteBmp(l, bmp_fixture::PackRows(l, px)));
        const HBITMAP b = Load(dir / "big.bmp");
        ASSERT_NE(b, 0u);
        const std::vector<uint8_t> got = Rgb(b);
        ASSERT_EQ(got.size(), px.size() * 3);
        size_t wrong = 0;
        for (size_t i = 0; i < px.size(); ++i) {
            const uint32_t want = bits == 8 ? (px[i] << 16) | 0x0709 : px[i];
            const uint32_t have =
                (uint32_t{got[3 * i]} << 16) | (uint32_t{got[3 * i + 1]} << 8) | got[3 * i + 2];
            wrong += have != want;
        }
        EXPECT_EQ(wrong, 0u);
        DeleteObject(b);
    }
}

TEST(GdiBmpFiles, WithoutASectionThePictureTakesTheScreenFormat) {
    bmp_fixture::ScratchDir dir;
    Layout l;
    l.width = 2, l.height = 1, l.bitsPerPixel = 4;
    l.colors = FourColours();
    l.colorsUsed = 4;
    bmp_fixture::WriteFile(dir / "p.bmp",
                           bmp_fixture::WriteBmp(l, bmp_fixture::PackRows(l, {3, 1})));
    const HBITMAP b = Load(dir / "p.bmp", LR_LOADFROMFILE);
    ASSERT_NE(b, 0u);
    BITMAP bm{};
    GetObjectA(b, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, nullptr);
    EXPECT_EQ(Rgb(b), (std::vector<uint8_t>{0, 0, 255, 255, 0, 0}));
}

TEST(GdiBmpFiles, BadFilesAndRequestsGiveZero) {
    bmp_fixture::ScratchDir dir;
    Layout good;
    good.width = 4, good.height = 2, good.bitsPerPixel = 8;
    good.colors = FourColours();
    good.colorsUsed = 4;
    const std::vector<uint8_t> goodData = bmp_fixture::PackRows(good, {0, 1, 2, 3, 3, 2, 1, 0});
    const std::vector<uint8_t> valid = bmp_fixture::WriteBmp(good, goodData);
    bmp_fixture::WriteFile(dir / "good.bmp", valid);
    ASSERT_NE(Load(dir / "good.bmp"), 0u);

    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> f = valid;
        std::copy(bytes.begin(), bytes.end(), f.begin() + static_cast<std::ptrdiff_t>(at));
        return f;
    };
    auto with = [&](Layout l, const std::vector<uint8_t>& data) {
        return bmp_fixture::WriteBmp(l, data);
    };
    Layout rleTopDown = good;
    rleTopDown.compression = BI_RLE8, rleTopDown.topDown = true;
    Layout rle4At8 = good;
    rle4At8.compression = BI_RLE4;
    Layout badMasks;
    badMasks.width = 1, badMasks.bitsPerPixel = 32, badMasks.compression = BI_BITFIELDS;
    badMasks.masks = {0xFF0000, 0xFF0000, 0xFF};
    Layout jpeg = good;
    jpeg.compression = 4; // BI_JPEG

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"magic only", {'B', 'M'}},
        {"wrong magic", patched(0, {'M', 'B'})},
        {"64-byte OS/2 2 header", patched(14, {64})},
        {"zero planes", patched(26, {0})},
        {"2 bits per pixel", patched(28, {2})},
        {"zero width", patched(18, {0, 0, 0, 0})},
        {"zero height", patched(22, {0, 0, 0, 0})},
        {"30000 x 30000", patched(18, {0x30, 0x75, 0, 0, 0x30, 0x75, 0, 0})},
        {"pixel data cut short", std::vector<uint8_t>(valid.begin(), valid.end() - 1)},
        {"data offset past the end", patched(10, {0xFF, 0xFF, 0, 0})},
        {"colour table past the end", patched(46, {0, 1, 0, 0})},
        {"run-length top-down", with(rleTopDown, {4, 1, 0, 1})},
        {"RLE4 at 8 bits", with(rle4At8, {4, 1, 0, 1})},
        {"overlapping masks", with(badMasks, {0, 0, 0, 0})},
        {"JPEG payload", with(jpeg, goodData)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bmp_fixture::WriteFile(dir / "bad.bmp", c.bytes);
        EXPECT_EQ(Load(dir / "bad.bmp"), 0u);
    }

    EXPECT_EQ(Load(dir / "missing.bmp"), 0u);
    EXPECT_EQ(Load(dir.Path()), 0u); // a directory
    const std::string good_name = (dir / "good.bmp").string();
    EXPECT_EQ(LoadImageA(0, good_name.c_str(), IMAGE_ICON, 0, 0, kFromFile), 0u);
    EXPECT_EQ(LoadImageA(0, good_name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), 0u);
    EXPECT_EQ(LoadImageA(0, nullptr, IMAGE_BITMAP, 0, 0, kFromFile), 0u);
    EXPECT_EQ(LoadImageA(0, MAKEINTRESOURCEA(100), IMAGE_BITMAP, 0, 0, kFromFile), 0u);
    EXPECT_EQ(LoadImageA(0, good_name.c_str(), IMAGE_BITMAP, 8, 8, kFromFile), 0u);
    EXPECT_NE(LoadImageA(0, good_name.c_str(), IMAGE_BITMAP, 4, 2, kFromFile), 0u);
}
