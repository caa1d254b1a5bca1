// LoadImageA for BMP files: the header is checked here; run-length pictures are decoded by
// SDL's BMP loader, while uncompressed rows, stored exactly as a DIB section holds them,
// become the picture's pixels where they lie in the file read in. Either way the picture
// keeps its depth, row order and colour table, as a DIB section made from the file would.
//   [x] 1, 4 and 8 bits with colour tables; RLE4 and RLE8; 16 and 32 bits (BI_RGB or bit
//       fields); 24 bits; bottom-up and top-down; OS/2 (12-byte) and 40/52/56/108/124-byte
//       headers
//   [x] LR_LOADFROMFILE, with or without LR_CREATEDIBSECTION (without: a 32-bit picture)
//   [ ] resources, icons and cursors, stretching to a requested size, JPEG/PNG payloads
//   [x] indices past a short colour table load, and such pixels read as black
#include <cstring>
#include <vector>

#include "backend_sdl_bmp.h"
#include "gdi_internal.h"
#include "platform/win_gdi.h"

namespace platform {

using namespace gdi;

namespace {

// No BMP we can hold is larger: the biggest picture at 32 bits plus headers.
constexpr size_t kMaxBmpFileBytes = static_cast<size_t>(kMaxBitmapPixels) * 4 + 4096;

constexpr size_t kFileHeaderBytes = 14;

struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    DWORD compression = BI_RGB;
    size_t dataOffset = 0;
    uint32_t masks[3] = {0, 0, 0};
    std::vector<RGBQUAD> colors;
};

// A file read whole, in pixel memory so that its rows can stay where they are.
struct FileBytes {
    PixelMemory data;
    size_t size = 0;
    uint8_t operator[](size_t at) const { return data[at]; }
};

uint16_t U16(const FileBytes& f, size_t at) {
    return static_cast<uint16_t>(f[at] | (f[at + 1] << 8));
}
uint32_t U32(const FileBytes& f, size_t at) {
    return static_cast<uint32_t>(f[at]) | (static_cast<uint32_t>(f[at + 1]) << 8) |
           (static_cast<uint32_t>(f[at + 2]) << 16) | (static_cast<uint32_t>(f[at + 3]) << 24);
}

// Checks the whole header against the file, so that what gets decoded is a picture we can
// hold and every row it names lies inside the file.
bool ParseBmp(const FileBytes& f, BmpLayout* out) {
    const size_t size = f.size;
    if (size < kFileHeaderBytes + 12 || f[0] != 'B' || f[1] != 'M') return false;
    const uint32_t dataOffset = U32(f, 10);
    const uint32_t headerBytes = U32(f, 14);
    int64_t width, height;
    uint32_t planes, bits, compression = BI_RGB, colorsUsed = 0;
    size_t entryBytes = 4;
    if (headerBytes == 12) { // OS/2 core header: 16-bit sizes, 3-byte colour entries
        width = U16(f, 18);
        height = U16(f, 20);
        planes = U16(f, 22);
        bits = U16(f, 24);
        entryBytes = 3;
    } else if (headerBytes == 40 || headerBytes == 52 || headerBytes == 56 || headerBytes == 108 ||
               headerBytes == 124) {
        if (size < kFileHeaderBytes + headerBytes) return false;
        width = static_cast<int32_t>(U32(f, 18));
        height = static_cast<int32_t>(U32(f, 22));
        planes = U16(f, 26);
        bits = U16(f, 28);
        compression = U32(f, 30);
        colorsUsed = U32(f, 46);
    } else {
        return false;
    }
    if (planes != 1) return false;
    out->topDown = height < 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels)
        return false;
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    out->bitsPerPixel = static_cast<int>(bits);
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (compression == BI_RLE8 && bits != 8) return false;
    if (compression == BI_RLE4 && bits != 4) return false;
    if (compression == BI_BITFIELDS && bits != 16 && bits != 32) return false;
    if (compression != BI_RGB && !rle && compression != BI_BITFIELDS) return false;
    // Run-length pictures are bottom-up by definition.
    if (rle && out->topDown) return false;
    out->compression = compression;

    size_t tableOffset = kFileHeaderBytes + headerBytes;
    if (bits == 16) {
        out->masks[0] = 0x7C00, out->masks[1] = 0x03E0, out->masks[2] = 0x001F;
    } else if (bits == 32) {
        out->masks[0] = 0x00FF0000, out->masks[1] = 0x0000FF00, out->masks[2] = 0x000000FF;
    }
    if (compression == BI_BITFIELDS) {
        // Inside the longer headers, or right after the 40-byte one.
        const size_t at = kFileHeaderBytes + 40;
        if (size < at + 12) return false;
        for (int i = 0; i < 3; ++i)
            out->masks[i] = U32(f, at + 4 * static_cast<size_t>(i));
        if (!ValidChannelMasks(out->masks, static_cast<int>(bits))) return false;
        if (headerBytes == 40) tableOffset += 12;
    }
    if (bits <= 8) {
        const uint32_t full = 1u << bits;
        const uint32_t count = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
        if (tableOffset + count * entryBytes > size) return false;
        out->colors.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = f.data.get() + tableOffset + i * entryBytes;
            out->colors[i] = RGBQUAD{e[0], e[1], e[2], 0};
        }
    }
    if (dataOffset < kFileHeaderBytes + headerBytes || dataOffset >= size) return false;
    out->dataOffset = dataOffset;
    if (!rle) {
        const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        if (dataOffset + stride * static_cast<uint64_t>(height) > size) return false;
    }
    return true;
}

// Uncompressed rows are the section's rows already: the picture keeps the file's memory and
// points into it, or copies the rows where 32-bit words would sit off their alignment.
std::unique_ptr<Bitmap> FromStoredRows(const BmpLayout& layout, FileBytes& file) {
    auto b = std::make_unique<Bitmap>();
    b->width = layout.width;
    b->height = layout.height;
    b->topDown = layout.topDown;
    b->bitsPerPixel = layout.bitsPerPixel;
    b->stride = DibStride(layout.width, layout.bitsPerPixel);
    b->redMask = layout.masks[0];
    b->greenMask = layout.masks[1];
    b->blueMask = layout.masks[2];
    b->colors = layout.colors;
    // Only 32-bit pixels are read as whole words, which must sit on their alignment.
    if (layout.bitsPerPixel != 32 || layout.dataOffset % 4 == 0) {
        b->storage = std::move(file.data);
        b->bits = b->storage.get() + layout.dataOffset;
        return b;
    }
    const size_t bytes = static_cast<size_t>(b->stride) * static_cast<size_t>(b->height);
    b->storage = AllocatePixels(bytes, false);
    if (!b->storage) return nullptr;
    b->bits = b->storage.get();
    std::memcpy(b->bits, file.data.get() + layout.dataOffset, bytes);
    return b;
}

// SDL's pixels of a run-length picture (one index a byte, top row first), packed into the
// picture at the file's own depth.
std::unique_ptr<Bitmap> Repack(const BmpLayout& layout, const sdl::BmpPixels& px) {
    if (px.width != layout.width || px.height != layout.height || px.bytesPerPixel != 1 ||
        !px.indexed)
        return nullptr;
    auto b = NewBitmap(layout.width, layout.height, layout.bitsPerPixel, layout.topDown);
    if (!b) return nullptr;
    b->colors = layout.colors;
    const size_t w = static_cast<size_t>(layout.width);
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* from = px.pixels + static_cast<size_t>(y) * static_cast<size_t>(px.pitch);
        const int row = layout.topDown ? y : layout.height - 1 - y;
        uint8_t* to = b->bits + static_cast<size_t>(row) * static_cast<size_t>(b->stride);
        if (layout.bitsPerPixel == 8) {
            std::memcpy(to, from, w);
        } else {
            for (size_t x = 0; x < w; ++x)
                to[x >> 1] |= static_cast<uint8_t>((from[x] & 0x0F) << ((x & 1) ? 0 : 4));
        }
    }
    return b;
}

} // namespace

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    (void)instance; // files only: there are no resources to look up
    if (type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || !name || IS_INTRESOURCE(name))
        return 0;
    FileBytes file;
    BmpLayout layout;
    file.data = ReadWholeFile(name, kMaxBmpFileBytes, &file.size);
    if (!file.data || !ParseBmp(file, &layout)) return 0;
    // Pictures come at their own size; stretching on load is not provided.
    if ((cx != 0 && cx != layout.width) || (cy != 0 && cy != layout.height)) return 0;
    std::unique_ptr<Bitmap> picture;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        sdl::BmpPixels px;
        if (!sdl::DecodeBmp(file.data.get(), file.size, &px)) return 0;
        picture = Repack(layout, px);
        sdl::FreeBmp(&px);
    } else {
        picture = FromStoredRows(layout, file);
    }
    if (!picture) return 0;
    if (flags & LR_CREATEDIBSECTION) return AddBitmap(std::move(picture));
    // Without a section the picture takes the screen's format: 32 bits, top-down.
    auto screen = NewBitmap(picture->width, picture->height, 32, true);
    if (!screen) return 0;
    SetDefaultMasks(*screen);
    screen->section = false;
    CopyPixels(*screen, 0, 0, picture->width, picture->height, *picture, 0, 0);
    return AddBitmap(std::move(screen));
}

} // namespace platform
