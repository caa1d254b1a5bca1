// Cursors and icons: the shared system cursors, the generic application icon, and .cur
// files read by our own parser, including broken ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../../platform/src/cursor_icon.h"
#include "platform/win32.h"

using namespace platform;

namespace {

void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A one-image .cur file: BMP-coded colour rows bottom-up, then the 1-bit AND mask.
std::vector<uint8_t> CursorFile(int w, int h, int bits, const std::vector<uint32_t>& palette,
                                const std::vector<uint8_t>& colourRows,
                                const std::vector<uint8_t>& maskRows) {
    std::vector<uint8_t> image;
    Put32(image, 40);
    Put32(image, static_cast<uint32_t>(w));
    Put32(image, static_cast<uint32_t>(2 * h));
    Put16(image, 1);
    Put16(image, static_cast<uint16_t>(bits));
    for (int i = 0; i < 6; ++i)
        Put32(image, 0);
    for (uint32_t c : palette)
        Put32(image, c);
    image.insert(image.end(), colourRows.begin(), colourRows.end());
    image.insert(image.end(), maskRows.begin(), maskRows.end());

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 2); // cursor
    Put16(file, 1);
    file.push_back(static_cast<uint8_t>(w));
    file.push_back(static_cast<uint8_t>(h));
    file.push_back(0);
    file.push_back(0);
    Put16(file, 1); // hot spot x
    Put16(file, 2); // hot spot y
    Put32(file, static_cast<uint32_t>(image.size()));
    Put32(file, 22);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

TEST(Cursors, SystemCursorsAreSharedAndUnknownOnesRefused) {
    const HCURSOR arrow = LoadCursorA(0, MAKEINTRESOURCEA(IDC_ARROW));
    EXPECT_NE(arrow, 0u);
    EXPECT_EQ(LoadCursorA(0, MAKEINTRESOURCEA(IDC_ARROW)), arrow);
    EXPECT_NE(LoadCursorA(0, MAKEINTRESOURCEA(IDC_NO)), arrow);
    EXPECT_EQ(LoadCursorA(0, MAKEINTRESOURCEA(12345)), 0u);
    EXPECT_EQ(LoadCursorA(0, "arrow.cur"), 0u);
    EXPECT_FALSE(DestroyCursor(arrow)) << "shared cursors are never destroyed";
}

TEST(Icons, TheApplicationIconIsAPictureOfItsOwn) {
    const HICON icon = LoadIconA(0, MAKEINTRESOURCEA(IDI_APPLICATION));
    ASSERT_NE(icon, 0u);
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    ASSERT_TRUE(CursorIconPixels(icon, argb, w, h));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    int opaque = 0;
    for (uint32_t p : argb)
        opaque += (p >> 24) == 0xFF;
    EXPECT_GT(opaque, 32 * 32 / 2);
    EXPECT_LT(opaque, 32 * 32) << "its corners are see-through";
}

TEST(CursorFiles, ThirtyTwoBitPixelsKeepTheirAlphaAndComeTopRowFirst) {
    // 2 x 2: the file's first row is the picture's bottom row.
    const std::vector<uint8_t> colour = {
        0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0x80, // bottom: red opaque, green half
        0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, // top: blue opaque, clear
    };
    const std::vector<uint8_t> mask(2 * 4, 0);
    const std::string path =
        WriteFile("lumora_test_32.cur", CursorFile(2, 2, 32, {}, colour, mask));
    const HCURSOR c = LoadCursorFromFileA(path.c_str());
    ASSERT_NE(c, 0u);
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    ASSERT_TRUE(CursorIconPixels(c, argb, w, h));
    ASSERT_EQ(argb.size(), 4u);
    EXPECT_EQ(argb[0], 0xFF0000FFu); // top-left blue
    EXPECT_EQ(argb[1], 0x00000000u);
    EXPECT_EQ(argb[2], 0xFFFF0000u); // bottom-left red
    EXPECT_EQ(argb[3], 0x8000FF00u);
    EXPECT_TRUE(DestroyCursor(c));
}

TEST(CursorFiles, OneBitPicturesTakeColoursFromTheTableAndHolesFromTheMask) {
    // 8 x 1, one row: colour bits 1010 0000, mask 0000 1111 (right half see-through).
    const std::vector<uint8_t> colour = {0xA0, 0, 0, 0};
    const std::vector<uint8_t> mask = {0x0F, 0, 0, 0};
    const std::string path = WriteFile(
        "lumora_test_1.cur", CursorFile(8, 1, 1, {0x00000000u, 0x00FFFFFFu}, colour, mask));
    const HCURSOR c = LoadCursorFromFileA(path.c_str());
    ASSERT_NE(c, 0u);
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    ASSERT_TRUE(CursorIconPixels(c, argb, w, h));
    const std::vector<uint32_t> want = {0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu, 0xFF000000u,
                                        0,           0,           0,           0};
    EXPECT_EQ(argb, want);
}

TEST(CursorFiles, BrokenOrMissingFilesGiveNoCursor) {
    EXPECT_EQ(LoadCursorFromFileA(""), 0u);
    EXPECT_EQ(LoadCursorFromFileA(nullptr), 0u);
    EXPECT_EQ(LoadCursorFromFileA("/no/such/file.cur"), 0u);
    EXPECT_EQ(LoadCursorFromFileA(std::filesystem::temp_directory_path().c_str()), 0u);
    std::vector<uint8_t> good =
        CursorFile(8, 1, 1, {0, 0x00FFFFFFu}, {0xA0, 0, 0, 0}, {0, 0, 0, 0});
    const struct {
        const char* name;
        size_t keep;    // bytes of the good file kept
        size_t patchAt; // byte to overwrite, or SIZE_MAX
        uint8_t patch;
    } cases[] = {
        {"header only", 6, SIZE_MAX, 0},
        {"entry cut short", 15, SIZE_MAX, 0},
        {"image cut short", 40, SIZE_MAX, 0},
        {"not a cursor file", good.size(), 2, 7},
        {"image beyond the end", good.size(), 18 + 4 - 1, 0x7F},
        {"huge width", good.size(), 22 + 6, 0x7F},
        {"twelve-bit pixels", good.size(), 22 + 14, 12},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bad(good.begin(), good.begin() + static_cast<long>(c.keep));
        if (c.patchAt != SIZE_MAX && c.patchAt < bad.size()) bad[c.patchAt] = c.patch;
        const std::string path = WriteFile("lumora_test_bad.cur", bad);
        EXPECT_EQ(LoadCursorFromFileA(path.c_str()), 0u) << c.name;
    }
}

} // namespace
