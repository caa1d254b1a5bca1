// Bitmaps: DIB sections and the pixel copy between any two of them (or a window's surface),
// converting through the source's colour table to the destination's format.
//   [x] CreateDIBSection: 1, 4, 8 bits with colour table; 16 and 32 bits, BI_RGB or bit
//       fields; 24 bits; bottom-up and top-down; DIB_RGB_COLORS
//   [x] BitBlt SRCCOPY, clipped to both pictures, overlapping copies within one picture
//   [x] GetDIBColorTable
//   [ ] DIB_PAL_COLORS, sections over file mappings, raster operations other than SRCCOPY
#include <algorithm>
#include <bit>
#include <cstring>

#include "gdi_internal.h"
#include "platform/win_gdi.h"

namespace platform {

namespace gdi {

namespace {

bool ValidDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

// A channel mask must be one run of set bits.
bool ContiguousMask(uint32_t mask) {
    if (mask == 0) return false;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// One colour channel of a masked pixel. Narrow channels widen to 8 bits by repeating their
// bits (5-bit 31 is 255, 16 is 132), wide ones keep their top 8; packing keeps the top bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            bits = std::popcount(m);
        }
    }
    uint32_t Expand(uint32_t pixel) const {
        if (bits == 0) return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        uint32_t out = 0;
        int have = 0;
        for (; have < 8; have += bits)
            out = (out << bits) | v;
        return out >> (have - 8);
    }
    uint32_t Pack(uint32_t value8) const {
        if (bits == 0) return 0;
        uint32_t v;
        if (bits <= 8) {
            v = value8 >> (8 - bits);
        } else {
            v = 0;
            int have = 0;
            for (; have < bits; have += 8)
                v = (v << 8) | value8;
            v >>= have - bits;
        }
        return (v << shift) & mask;
    }
};

bool StandardMasks(const Bitmap& b) {
    return b.redMask == 0x00FF0000 && b.greenMask == 0x0000FF00 && b.blueMask == 0x000000FF;
}

uint8_t* RowPointer(const Bitmap& b, int y) {
    const int row = b.topDown ? y : b.height - 1 - y;
    return b.bits + static_cast<size_t>(row) * static_cast<size_t>(b.stride);
}

uint32_t QuadColor(const RGBQUAD& q) {
    return (static_cast<uint32_t>(q.rgbRed) << 16) | (static_cast<uint32_t>(q.rgbGreen) << 8) |
           q.rgbBlue;
}

// Reads n pixels of row y from x on as 0x00RRGGBB words.
class RowReader {
  public:
    explicit RowReader(const Bitmap& b)
        : b_(b), red_(b.redMask), green_(b.greenMask), blue_(b.blueMask) {
        // Indices past the colour table read as black.
        std::fill(std::begin(lut_), std::end(lut_), 0u);
        const size_t n = std::min<size_t>(b.colors.size(), 256);
        for (size_t i = 0; i < n; ++i)
            lut_[i] = QuadColor(b.colors[i]);
    }

    void Read(int y, int x, int n, uint32_t* out) const {
        const uint8_t* row = RowPointer(b_, y);
        switch (b_.bitsPerPixel) {
        case 1:
            for (int i = 0; i < n; ++i) {
                const int px = x + i;
                out[i] = lut_[(row[px >> 3] >> (7 - (px & 7))) & 1];
            }
            break;
        case 4:
            for (int i = 0; i < n; ++i) {
                const int px = x + i;
                const uint8_t v = row[px >> 1];
                out[i] = lut_[(px & 1) ? (v & 0x0F) : (v >> 4)];
            }
            break;
        case 8:
            for (int i = 0; i < n; ++i)
                out[i] = lut_[row[x + i]];
            break;
        case 16:
            for (int i = 0; i < n; ++i) {
                uint16_t v;
                std::memcpy(&v, row + 2 * static_cast<size_t>(x + i), 2);
                out[i] = (red_.Expand(v) << 16) | (green_.Expand(v) << 8) | blue_.Expand(v);
            }
            break;
        case 24: {
            const uint8_t* p = row + 3 * static_cast<size_t>(x);
            // Blue, green, red are the low three bytes of a little-endian word; the last
            // pixel is read bytewise so as not to step past the row.
            int i = 0;
            for (; i + 1 < n; ++i, p += 3) {
                uint32_t v;
                std::memcpy(&v, p, 4);
                out[i] = v & 0x00FFFFFF;
            }
            if (i < n)
                out[i] =
                    (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
            break;
        }
        case 32: {
            const auto* words = reinterpret_cast<const uint32_t*>(row) + x;
            if (StandardMasks(b_)) {
                for (int i = 0; i < n; ++i)
                    out[i] = words[i] & 0x00FFFFFF;
            } else {
                for (int i = 0; i < n; ++i) {
                    const uint32_t v = words[i];
                    out[i] = (red_.Expand(v) << 16) | (green_.Expand(v) << 8) | blue_.Expand(v);
                }
            }
            break;
        }
        }
    }

  private:
    const Bitmap& b_;
    Channel red_, green_, blue_;
    uint32_t lut_[256];
};

// Writes n 0x00RRGGBB words into row y from x on, in the bitmap's own format.
class RowWriter {
  public:
    explicit RowWriter(Bitmap& b)
        : b_(b), red_(b.redMask), green_(b.greenMask), blue_(b.blueMask) {}

    void Write(int y, int x, int n, const uint32_t* in) {
        uint8_t* row = RowPointer(b_, y);
        switch (b_.bitsPerPixel) {
        case 1:
            for (int i = 0; i < n; ++i) {
                const int px = x + i;
                const uint8_t bit = static_cast<uint8_t>(0x80 >> (px & 7));
                if (Nearest(in[i]) & 1)
                    row[px >> 3] |= bit;
                else
                    row[px >> 3] &= static_cast<uint8_t>(~bit);
            }
            break;
        case 4:
            for (int i = 0; i < n; ++i) {
                const int px = x + i;
                const uint8_t idx = Nearest(in[i]) & 0x0F;
                uint8_t& v = row[px >> 1];
                v = (px & 1) ? static_cast<uint8_t>((v & 0xF0) | idx)
                             : static_cast<uint8_t>((v & 0x0F) | (idx << 4));
            }
            break;
        case 8:
            for (int i = 0; i < n; ++i)
                row[x + i] = Nearest(in[i]);
            break;
        case 16:
            for (int i = 0; i < n; ++i) {
                const uint16_t v = static_cast<uint16_t>(Pack(in[i]));
                std::memcpy(row + 2 * static_cast<size_t>(x + i), &v, 2);
            }
            break;
        case 24:
            for (int i = 0; i < n; ++i) {
                uint8_t* p = row + 3 * static_cast<size_t>(x + i);
                p[0] = static_cast<uint8_t>(in[i]);
                p[1] = static_cast<uint8_t>(in[i] >> 8);
                p[2] = static_cast<uint8_t>(in[i] >> 16);
            }
            break;
        case 32: {
            auto* words = reinterpret_cast<uint32_t*>(row) + x;
            if (StandardMasks(b_)) {
                std::memcpy(words, in, static_cast<size_t>(n) * 4);
            } else {
                for (int i = 0; i < n; ++i)
                    words[i] = Pack(in[i]);
            }
            break;
        }
        }
    }

  private:
    uint32_t Pack(uint32_t rgb) const {
        return red_.Pack((rgb >> 16) & 0xFF) | green_.Pack((rgb >> 8) & 0xFF) |
               blue_.Pack(rgb & 0xFF);
    }

    // The closest colour of the table, by squared distance; runs of one colour are common.
    uint8_t Nearest(uint32_t rgb) {
        if (haveLast_ && rgb == lastColor_) return lastIndex_;
        int best = 0;
        int64_t bestDistance = INT64_MAX;
        const size_t n = std::min<size_t>(b_.colors.size(), 256);
        for (size_t i = 0; i < n; ++i) {
            const RGBQUAD& q = b_.colors[i];
            const int64_t dr = static_cast<int>((rgb >> 16) & 0xFF) - q.rgbRed;
            const int64_t dg = static_cast<int>((rgb >> 8) & 0xFF) - q.rgbGreen;
            const int64_t db = static_cast<int>(rgb & 0xFF) - q.rgbBlue;
            const int64_t d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(i);
                if (d == 0) break;
            }
        }
        haveLast_ = true;
        lastColor_ = rgb;
        lastIndex_ = static_cast<uint8_t>(best);
        return lastIndex_;
    }

    Bitmap& b_;
    Channel red_, green_, blue_;
    bool haveLast_ = false;
    uint32_t lastColor_ = 0;
    uint8_t lastIndex_ = 0;
};

bool SameFormat(const Bitmap& a, const Bitmap& b) {
    if (a.bitsPerPixel != b.bitsPerPixel) return false;
    if (a.bitsPerPixel <= 8) {
        return a.colors.size() == b.colors.size() &&
               std::equal(
                   a.colors.begin(), a.colors.end(), b.colors.begin(),
                   [](const RGBQUAD& p, const RGBQUAD& q) { return QuadColor(p) == QuadColor(q); });
    }
    if (a.bitsPerPixel == 24) return true;
    return a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

// A window's surface seen as a top-down 32-bit picture.
bool SurfaceView(Surface* s, Bitmap* view) {
    if (!s || s->width <= 0 || s->height <= 0 ||
        s->pixels.size() < static_cast<size_t>(s->width) * static_cast<size_t>(s->height))
        return false;
    view->width = s->width;
    view->height = s->height;
    view->topDown = true;
    view->bitsPerPixel = 32;
    view->stride = s->width * 4;
    SetDefaultMasks(*view);
    view->bits = reinterpret_cast<uint8_t*>(s->pixels.data());
    return true;
}

// The pixels a DC draws into or copies from: its selected bitmap, or its window's surface.
Bitmap* PixelsOf(DeviceContext& dc, Bitmap* view) {
    if (dc.window) return SurfaceView(dc.surface, view) ? view : nullptr;
    return FindBitmap(dc.bitmap);
}

} // namespace

bool ValidChannelMasks(const uint32_t (&masks)[3], int bitsPerPixel) {
    for (uint32_t m : masks)
        if (!ContiguousMask(m) || (bitsPerPixel == 16 && (m >> 16))) return false;
    return !(masks[0] & masks[1]) && !(masks[0] & masks[2]) && !(masks[1] & masks[2]);
}

int DibStride(int width, int bitsPerPixel) {
    return static_cast<int>((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4);
}

std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bitsPerPixel, bool topDown) {
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        !ValidDepth(bitsPerPixel))
        return nullptr;
    if (static_cast<int64_t>(width) * height > kMaxBitmapPixels) return nullptr;
    auto b = std::make_unique<Bitmap>();
    b->width = width;
    b->height = height;
    b->topDown = topDown;
    b->bitsPerPixel = bitsPerPixel;
    b->stride = DibStride(width, bitsPerPixel);
    b->storage = AllocatePixels(static_cast<size_t>(b->stride) * static_cast<size_t>(height));
    if (!b->storage) return nullptr;
    b->bits = b->storage.get();
    return b;
}

void SetDefaultMasks(Bitmap& b) {
    if (b.bitsPerPixel == 16) {
        b.redMask = 0x7C00;
        b.greenMask = 0x03E0;
        b.blueMask = 0x001F;
    } else if (b.bitsPerPixel == 32) {
        b.redMask = 0x00FF0000;
        b.greenMask = 0x0000FF00;
        b.blueMask = 0x000000FF;
    }
}

void CopyPixels(Bitmap& dest, int x, int y, int width, int height, const Bitmap& src, int srcX,
                int srcY) {
    // Clip to both pictures, moving both origins together.
    int64_t dx = x, dy = y, sx = srcX, sy = srcY, w = width, h = height;
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min({w, static_cast<int64_t>(src.width) - sx, static_cast<int64_t>(dest.width) - dx});
    h = std::min(
        {h, static_cast<int64_t>(src.height) - sy, static_cast<int64_t>(dest.height) - dy});
    if (w <= 0 || h <= 0) return;

    const int n = static_cast<int>(w);
    const bool samePicture = dest.bits == src.bits;
    // Within one picture, copy rows in the order that reads each before it is overwritten.
    const bool upwards = samePicture && dy > sy;
    const bool raw = SameFormat(dest, src) && dest.bitsPerPixel >= 8;
    const size_t bytesPerPixel = static_cast<size_t>(dest.bitsPerPixel) / 8;
    const bool direct = !samePicture && dest.bitsPerPixel == 32 && StandardMasks(dest);

    RowReader reader(src);
    RowWriter writer(dest);
    std::vector<uint32_t> row;
    if (!raw && !direct) row.resize(static_cast<size_t>(n));
    for (int64_t i = 0; i < h; ++i) {
        const int r = static_cast<int>(upwards ? h - 1 - i : i);
        const int ys = static_cast<int>(sy) + r, yd = static_cast<int>(dy) + r;
        if (raw) {
            std::memmove(RowPointer(dest, yd) + static_cast<size_t>(dx) * bytesPerPixel,
                         RowPointer(src, ys) + static_cast<size_t>(sx) * bytesPerPixel,
                         static_cast<size_t>(n) * bytesPerPixel);
        } else if (direct) {
            reader.Read(ys, static_cast<int>(sx), n,
                        reinterpret_cast<uint32_t*>(RowPointer(dest, yd)) + dx);
        } else {
            reader.Read(ys, static_cast<int>(sx), n, row.data());
            writer.Write(yd, static_cast<int>(dx), n, row.data());
        }
    }
}

} // namespace gdi

using namespace gdi;

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
    (void)offset;
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section != 0) return 0;
    if (dc != 0 && !FindDC(dc)) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || !ValidDepth(h.biBitCount))
        return 0;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return 0;
    const bool bitFields = h.biCompression == BI_BITFIELDS;
    if (h.biCompression != BI_RGB && !bitFields) return 0;
    if (bitFields && h.biBitCount != 16 && h.biBitCount != 32) return 0;

    const bool topDown = h.biHeight < 0;
    auto b = NewBitmap(h.biWidth, topDown ? -h.biHeight : h.biHeight, h.biBitCount, topDown);
    if (!b) return 0;
    const auto* base = reinterpret_cast<const uint8_t*>(info);
    SetDefaultMasks(*b);
    if (bitFields) {
        // The masks sit inside the longer headers, or right after the 40-byte one.
        uint32_t masks[3];
        std::memcpy(masks, base + sizeof(BITMAPINFOHEADER), sizeof masks);
        if (!ValidChannelMasks(masks, h.biBitCount)) return 0;
        b->redMask = masks[0];
        b->greenMask = masks[1];
        b->blueMask = masks[2];
    }
    if (h.biBitCount <= 8) {
        const uint32_t full = 1u << h.biBitCount;
        const uint32_t count = h.biClrUsed == 0 ? full : std::min(h.biClrUsed, full);
        b->colors.resize(count);
        std::memcpy(b->colors.data(), base + h.biSize, count * sizeof(RGBQUAD));
    }
    uint8_t* pixels = b->bits;
    const HBITMAP handle = AddBitmap(std::move(b));
    if (handle && bits) *bits = pixels;
    return handle;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
    const DeviceContext* d = FindDC(dc);
    if (!d || !colors) return 0;
    const Bitmap* b = FindBitmap(d->bitmap);
    if (!b || !b->section || b->bitsPerPixel > 8 || start >= b->colors.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(b->colors.size()) - start);
    std::copy_n(b->colors.begin() + start, n, colors);
    return n;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    if (rop != SRCCOPY) return FALSE;
    DeviceContext* dd = FindDC(dest);
    DeviceContext* sd = FindDC(src);
    if (!dd || !sd) return FALSE;
    Bitmap destView, srcView;
    Bitmap* to = PixelsOf(*dd, &destView);
    const Bitmap* from = PixelsOf(*sd, &srcView);
    if (!to || !from) return FALSE;
    CopyPixels(*to, x, y, width, height, *from, srcX, srcY);
    return TRUE;
}

} // namespace platform
