// The TGA reader on byte-exact files: decoding of both image types, every refusal with its
// message, and agreement with ImageMagick on files that it writes.
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lumora/textures.h"
#include "message_boxes.h"
#include "platform/win_types.h"

using namespace Lumora;
using Bytes = std::vector<uint8_t>;

namespace {

// A file of the given type, size and depth: the 18-byte header, then data.
Bytes Tga(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, const Bytes& data,
          uint8_t descriptor = 0) {
    Bytes file = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    file.insert(file.end(), {uint8_t(width & 0xFF), uint8_t(width >> 8), uint8_t(height & 0xFF),
                             uint8_t(height >> 8), depth, descriptor});
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            ++count;
        closedir(dir);
    }
    return count;
}

class TgaReader : public testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tga_reader_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        test_support::RecordedMessageBoxes().clear();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const Bytes& bytes, const std::string& name = "image.tga") {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    // Loads the file and keeps a copy of the pixels; the buffer goes back at once.
    bool Load(const std::string& path) {
        tex_ = TGATexture{};
        const int before = OpenDescriptors();
        const bool ok = LoadTGA(tex_, path.c_str());
        EXPECT_EQ(OpenDescriptors(), before) << "file left open";
        EXPECT_EQ(FTGA.Fd, -1);
        pixels_.clear();
        if (ok) {
            EXPECT_NE(tex_.ImageData, nullptr);
            pixels_.assign(tex_.ImageData,
                           tex_.ImageData + size_t{tex_.Width} * tex_.Height * tex_.BPP / 8);
            std::free(tex_.ImageData);
            tex_.ImageData = nullptr;
        } else {
            EXPECT_EQ(tex_.ImageData, nullptr) << "buffer still held after a refusal";
        }
        return ok;
    }

    std::string dir_;
    TGATexture tex_{};
    Bytes pixels_;
};

struct DecodeCase {
    const char* name;
    Bytes file;
    uint32_t width, height, bpp, typ;
    Bytes pixels;
};

TEST_F(TgaReader, DecodesRawAndRunLengthFiles) {
    const DecodeCase cases[] = {
        {"1x1 raw 24-bit", Tga(2, 1, 1, 24, {0x10, 0x20, 0x30}), 1, 1, 24, GL_RGB,
         {0x30, 0x20, 0x10}},
        {"2x1 run 32-bit", Tga(10, 2, 1, 32, {0x81, 1, 2, 3, 4}), 2, 1, 32, GL_RGBA,
         {3, 2, 1, 4, 3, 2, 1, 4}},
        {"2x1 raw 32-bit keeps alpha in place", Tga(2, 2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8}), 2, 1,
         32, GL_RGBA, {3, 2, 1, 4, 7, 6, 5, 8}},
        {"2x2 raw of 3 then run of 1",
         Tga(10, 2, 2, 24, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x80, 10, 11, 12}), 2, 2, 24, GL_RGB,
         {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}},
        // A run of 4 crosses from row 0 into row 1 of a 3-wide image, then a raw packet of
        // 2 finishes row 1.
        {"packets crossing rows",
         Tga(10, 3, 2, 24, {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}), 3, 2, 24, GL_RGB,
         {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}},
        {"raw packet crossing rows",
         Tga(10, 2, 2, 32, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x80, 13, 14, 15, 16}),
         2, 2, 32, GL_RGBA, {3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12, 15, 14, 13, 16}},
        // Bytes after the last packet (a footer here) are never taken as pixels.
        {"trailing bytes ignored",
         Concat(Tga(10, 1, 1, 24, {0x80, 1, 2, 3}), Bytes(26, 0xEE)), 1, 1, 24, GL_RGB,
         {3, 2, 1}},
        {"top-left origin keeps file row order",
         Tga(2, 1, 2, 24, {1, 2, 3, 4, 5, 6}, 0x20), 1, 2, 24, GL_RGB, {3, 2, 1, 6, 5, 4}},
        {"width bytes 00 01 mean 256", Tga(10, 256, 1, 24, {0xFF, 1, 2, 3, 0xFF, 1, 2, 3}), 256,
         1, 24, GL_RGB, [] {
             Bytes p;
             for (int i = 0; i < 256; ++i) p.insert(p.end(), {3, 2, 1});
             return p;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(Write(c.file)));
        EXPECT_EQ(tex_.Width, c.width);
        EXPECT_EQ(tex_.Height, c.height);
        EXPECT_EQ(tex_.BPP, c.bpp);
        EXPECT_EQ(tex_.Typ, c.typ);
        EXPECT_EQ(pixels_, c.pixels);
        EXPECT_EQ(TGA.ImageSize, c.pixels.size());
        EXPECT_EQ(TGA.BytesPerPixel, c.bpp / 8);
        EXPECT_TRUE(test_support::RecordedMessageBoxes().empty());
    }
}

TEST_F(TgaReader, KeepsTheLastFilesHeaderAndInfo) {
    ASSERT_TRUE(Load(Write(Tga(10, 256, 1, 24, {0xFF, 1, 2, 3, 0xFF, 1, 2, 3}))));
    EXPECT_EQ(TGAHeader.Header[2], 10);
    EXPECT_EQ(TGA.Header[0], 0x00);
    EXPECT_EQ(TGA.Header[1], 0x01);
    EXPECT_EQ(TGA.Width, 256u);
    EXPECT_EQ(TGA.Heigh, 1u);
    EXPECT_EQ(TGA.BPP, 24u);
}

struct RefusalCase {
    const char* name;
    Bytes file;
    const char* text;
    const char* caption = "ERROR";
};

TEST_F(TgaReader, RefusesBadFilesWithOneMessageAndNothingHeld) {
    const Bytes header2 = Tga(2, 2, 2, 24, {});
    const RefusalCase cases[] = {
        {"empty file", {}, "Could not read file header"},
        {"11 bytes", Bytes(11, 0), "Could not read file header"},
        {"image ID",
         [] {
             auto f = Tga(2, 1, 1, 24, {0, 0, 0});
             f[0] = 1;
             return f;
         }(),
         "TGA file be type 2 or type 10", "Invalid Image"},
        {"colour map",
         [] {
             auto f = Tga(2, 1, 1, 24, {0, 0, 0});
             f[1] = 1;
             return f;
         }(),
         "TGA file be type 2 or type 10", "Invalid Image"},
        {"non-zero origin",
         [] {
             auto f = Tga(10, 1, 1, 24, {0x80, 0, 0, 0});
             f[10] = 1;
             return f;
         }(),
         "TGA file be type 2 or type 10", "Invalid Image"},
        {"grey image type 3", Tga(3, 1, 1, 8, {0}), "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"signature only, type 2", Bytes(header2.begin(), header2.begin() + 12),
         "Could not read info header"},
        {"signature only, type 10", Bytes(CTGAcompare, CTGAcompare + 12),
         "Could not read info header"},
        {"info header cut short", Bytes(header2.begin(), header2.begin() + 17),
         "Could not read info header"},
        {"depth 16, type 2", Tga(2, 1, 1, 16, {0, 0}), "Invalid texture information"},
        {"depth 16, type 10", Tga(10, 1, 1, 16, {0x80, 0, 0}), "Invalid texture information"},
        {"width 0", Tga(2, 0, 1, 24, {}), "Invalid texture information"},
        {"height 0", Tga(10, 1, 0, 32, {}), "Invalid texture information"},
        // Byte sizes past 32 bits would wrap ImageSize and under-allocate.
        {"65535 x 65535 x 4 bytes, type 10", Tga(10, 65535, 65535, 32, {0x80, 1, 2, 3, 4}),
         "Invalid texture information"},
        {"65535 x 16385 x 4 bytes, type 2", Tga(2, 65535, 16385, 32, {1, 2, 3, 4}),
         "Invalid texture information"},
        {"65535 x 21846 x 3 bytes, type 10", Tga(10, 65535, 21846, 24, {0x80, 1, 2, 3}),
         "Invalid texture information"},
        // Just under 4 GiB: accepted as information, refused for its missing pixels.
        {"65535 x 16384 x 4 bytes, type 2, no pixels", Tga(2, 65535, 16384, 32, {1, 2, 3, 4}),
         "Could not read image data"},
        {"type 2 cut short", Tga(2, 2, 2, 24, Bytes(11, 7)), "Could not read image data"},
        {"type 2 without pixels", Tga(2, 1, 1, 32, {}), "Could not read image data"},
        {"type 10 without packets", Tga(10, 1, 1, 24, {}), "Could not read RLE header"},
        {"type 10 ends between packets", Tga(10, 2, 1, 24, {0x80, 1, 2, 3}),
         "Could not read RLE header"},
        {"raw pixel cut short", Tga(10, 2, 1, 32, {0x01, 1, 2, 3, 4, 5, 6}),
         "Could not read image data"},
        {"run value cut short", Tga(10, 2, 1, 24, {0x81, 1, 2}), "Could not read from file"},
        {"run past the image", Tga(10, 2, 2, 24, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x81, 1, 2, 3}),
         "Too many pixels read"},
        {"raw packet past the image", Tga(10, 2, 1, 24, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
         "Too many pixels read"},
        // The pixel past the end is read before it is refused; here it is missing.
        {"raw packet past the image and the file", Tga(10, 2, 1, 24, {0x02, 1, 2, 3, 4, 5, 6, 7}),
         "Could not read image data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::RecordedMessageBoxes().clear();
        EXPECT_FALSE(Load(Write(c.file)));
        const auto& boxes = test_support::RecordedMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].caption, c.caption);
        EXPECT_EQ(boxes[0].owner, 0u);
        EXPECT_EQ(boxes[0].type, platform::MB_OK);
    }
}

TEST_F(TgaReader, RefusesWhatCannotBeOpened) {
    std::filesystem::create_directory(dir_ + "/folder.tga");
    const std::string cases[] = {dir_ + "/missing.tga", dir_ + "/folder.tga", "",
                                 dir_ + "/" + std::string(300, 'n') + ".tga"};
    for (const auto& path : cases) {
        SCOPED_TRACE(path);
        test_support::RecordedMessageBoxes().clear();
        EXPECT_FALSE(Load(path));
        const auto& boxes = test_support::RecordedMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Could not open texture file");
        EXPECT_EQ(boxes[0].caption, "ERROR");
    }
}

// Long names are opened whole: a name is never cut down to another file's name.
TEST_F(TgaReader, LongFileNamesAreNeverShortened) {
    const std::string sub = dir_ + "/" + std::string(200, 'd');
    std::filesystem::create_directory(sub);
    const std::string longPath = sub + "/" + std::string(150, 'f') + ".tga";
    ASSERT_GT(longPath.size(), 255u);
    Write(Tga(2, 1, 1, 24, {1, 2, 3}),
          std::string(200, 'd') + "/" + std::string(150, 'f') + ".tga");
    ASSERT_TRUE(Load(longPath));
    EXPECT_EQ(pixels_, (Bytes{3, 2, 1}));

    // The first 255 characters of this name are exactly an existing file's name.
    std::string prefix = dir_ + "/";
    prefix += std::string(255 - prefix.size(), 'p');
    ASSERT_EQ(prefix.size(), 255u);
    std::ofstream(prefix, std::ios::binary)
        << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x18\0abc", 21);
    ASSERT_TRUE(Load(prefix));
    test_support::RecordedMessageBoxes().clear();
    EXPECT_FALSE(Load(prefix + "-other.tga"));
    ASSERT_EQ(test_support::RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(test_support::RecordedMessageBoxes()[0].text, "Could not open texture file");
}

// ImageMagick writes files of both types and depths; our pixels must be the ones it reads.
TEST_F(TgaReader, AgreesWithImageMagick) {
    struct Case {
        const char* compress;
        int width, height, depth;
        const char* orient;
    };
    const Case cases[] = {{"None", 7, 5, 24, "BottomLeft"},  {"RLE", 7, 5, 24, "TopLeft"},
                          {"None", 13, 3, 32, "TopLeft"},    {"RLE", 13, 3, 32, "BottomLeft"},
                          {"RLE", 301, 4, 24, "BottomLeft"}, {"RLE", 1, 9, 32, "TopLeft"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.compress) + " " + std::to_string(c.width) + "x" +
                     std::to_string(c.height) + "x" + std::to_string(c.depth) + " " + c.orient);
        // Patches of repeated pixels between noisy ones, so both packet kinds occur.
        const int channels = c.depth / 8;
        Bytes raw;
        uint32_t seed = 12345u + uint32_t(c.width * 31 + c.depth);
        for (int i = 0; i < c.width * c.height; ++i) {
            if (i % 11 >= 5) seed = seed * 1103515245u + 12345u;
            for (int k = 0; k < channels; ++k)
                raw.push_back(uint8_t(seed >> (8 + 5 * k)));
        }
        const std::string rawPath = Write(raw, "in.raw");
        const std::string tgaPath = dir_ + "/magick.tga";
        const std::string map = channels == 4 ? "rgba" : "rgb";
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        const std::string write = "convert -size " + size + " -depth 8 " + map + ":" + rawPath +
                                  " -orient " + c.orient + " -compress " + c.compress + " " +
                                  tgaPath;
        ASSERT_EQ(std::system(write.c_str()), 0) << write;

        // ImageMagick keeps the origin as an attribute; -auto-orient applies it, so the
        // read-back is the picture, top row first.
        Bytes readBack(raw.size());
        const std::string read = "convert " + tgaPath + " -auto-orient -depth 8 " + map + ":-";
        FILE* pipe = popen(read.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        const size_t got = fread(readBack.data(), 1, readBack.size(), pipe);
        ASSERT_EQ(pclose(pipe), 0);
        ASSERT_EQ(got, readBack.size());

        std::ifstream in(tgaPath, std::ios::binary);
        char head[18];
        in.read(head, 18);
        ASSERT_EQ(head[2], c.compress[0] == 'R' ? 10 : 2);
        ASSERT_EQ(head[16], c.depth);
        const bool topDown = (head[17] & 0x20) != 0;
        ASSERT_EQ(topDown, c.orient[0] == 'T');

        ASSERT_TRUE(Load(tgaPath));
        ASSERT_EQ(int(tex_.Width), c.width);
        ASSERT_EQ(int(tex_.Height), c.height);
        // We keep file row order whatever the origin says.
        const size_t row = size_t(c.width) * channels;
        for (int y = 0; y < c.height; ++y) {
            const int pictureRow = topDown ? y : c.height - 1 - y;
            EXPECT_TRUE(std::equal(pixels_.begin() + y * row, pixels_.begin() + (y + 1) * row,
                                   readBack.begin() + pictureRow * row))
                << "file row " << y;
        }
    }
}

} // namespace
