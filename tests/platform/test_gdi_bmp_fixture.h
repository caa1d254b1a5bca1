// Small BMP fixtures made at test time: a writer for hand-built files (any depth, RLE,
// top-down, OS/2 headers), a scratch folder, and ImageMagick's own reading of a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/win_types.h"

namespace bmp_fixture {

struct Layout {
    int width = 1;
    int height = 1;
    int bitsPerPixel = 24;
    bool topDown = false;
    uint32_t compression = 0; // BI_RGB
    std::vector<platform::RGBQUAD> colors;
    uint32_t colorsUsed = 0;     // the header's count; 0 = the full table
    std::vector<uint32_t> masks; // BI_BITFIELDS: red, green, blue after the header
    bool os2 = false;            // 12-byte core header, 3-byte colour entries
};

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// A whole file around `data`, the pixel bytes exactly as stored (rows in file order, or
// the RLE stream).
inline std::vector<uint8_t> WriteBmp(const Layout& l, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> info;
    if (l.os2) {
        Put32(info, 12);
        Put16(info, static_cast<uint32_t>(l.width));
        Put16(info, static_cast<uint32_t>(l.height));
        Put16(info, 1);
        Put16(info, static_cast<uint32_t>(l.bitsPerPixel));
        for (const auto& c : l.colors) {
            info.push_back(c.rgbBlue);
            info.push_back(c.rgbGreen);
            info.push_back(c.rgbRed);
        }
    } else {
        Put32(info, 40);
        Put32(info, static_cast<uint32_t>(l.width));
        Put32(info, static_cast<uint32_t>(l.topDown ? -l.height : l.height));
        Put16(info, 1);
        Put16(info, static_cast<uint32_t>(l.bitsPerPixel));
        Put32(info, l.compression);
        Put32(info, static_cast<uint32_t>(data.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, l.colorsUsed);
        Put32(info, 0);
        for (uint32_t m : l.masks)
            Put32(info, m);
        for (const auto& c : l.colors) {
            info.push_back(c.rgbBlue);
            info.push_back(c.rgbGreen);
            info.push_back(c.rgbRed);
            info.push_back(0);
        }
    }
    std::vector<uint8_t> file{'B', 'M'};
    const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
    Put32(file, offset + static_cast<uint32_t>(data.size()));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

// Uncompressed pixel rows from a picture given top row first, one value per pixel (a
// palette index, or 0x00RRGGBB for 24 bits, or the raw word for 16 and 32 bits).
inline std::vector<uint8_t> PackRows(const Layout& l, const std::vector<uint32_t>& pixels) {
    const size_t stride = (static_cast<size_t>(l.width) * l.bitsPerPixel + 31) / 32 * 4;
    std::vector<uint8_t> out(stride * l.height, 0);
    for (int y = 0; y < l.height; ++y) {
        const int row = l.topDown ? y : l.height - 1 - y;
        uint8_t* r = out.data() + stride * row;
        for (int x = 0; x < l.width; ++x) {
            const uint32_t v = pixels[static_cast<size_t>(y) * l.width + x];
            switch (l.bitsPerPixel) {
            case 1:
                r[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
                break;
            case 4:
                r[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4));
                break;
            case 8:
                r[x] = static_cast<uint8_t>(v);
                break;
            case 16:
                r[2 * x] = static_cast<uint8_t>(v);
                r[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                break;
            case 24:
                r[3 * x] = static_cast<uint8_t>(v);
                r[3 * x + 1] = static_cast<uint8_t>(v >> 8);
                r[3 * x + 2] = static_cast<uint8_t>(v >> 16);
                break;
            case 32:
                for (int k = 0; k < 4; ++k)
                    r[4 * x + k] = static_cast<uint8_t>(v >> (8 * k));
                break;
            }
        }
    }
    return out;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit picture from 0x00RRGGBB words, top row first.
inline void WriteRgb24(const std::filesystem::path& path, int width, int height,
                       const std::vector<uint32_t>& rgb) {
    Layout l;
    l.width = width;
    l.height = height;
    l.bitsPerPixel = 24;
    WriteFile(path, WriteBmp(l, PackRows(l, rgb)));
}

// A folder of its own for one test, removed with everything in it afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "lumora-bmp-XXXXXX").string();
        path_ = mkdtemp(templ.data()) ? templ : std::string();
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline bool HaveImageMagick() {
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

// Runs ImageMagick's convert with the given arguments; true when it succeeded.
inline bool Convert(const std::string& args) {
    return std::system(("convert " + args + " >/dev/null 2>&1").c_str()) == 0;
}

// ImageMagick's reading of a picture: 8-bit red, green, blue per pixel, top row first.
inline std::vector<uint8_t> ImageMagickRgb(const std::filesystem::path& path) {
    std::vector<uint8_t> out;
    const std::string cmd = "convert '" + path.string() + "' -depth 8 rgb:- 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.insert(out.end(), buf, buf + n);
    pclose(p);
    return out;
}

} // namespace bmp_fixture
