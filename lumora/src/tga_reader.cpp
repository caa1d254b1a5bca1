// The TGA reader: true-colour files of image type 2 (raw) and 10 (run-length encoded),
// 24 or 32 bits, decoded to red-green-blue(-alpha) rows in file order for glTexImage2D.
#include <GL/gl.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "lumora/textures.h"
#include "platform/win_window.h"

namespace Lumora {

const uint8_t UTGAcompare[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t CTGAcompare[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

TTGAHeader TGAHeader = {}; // signature of the last file read; written by LoadTGA
TTGA TGA = {};             // info header and sizes of the last file; written by the pixel readers
platform::RawFile FTGA;    // the file being read; opened by LoadTGA, closed when the load ends

namespace {

// Compressed data is taken from the file in blocks of this size, so that packets cost no
// system call of their own.
constexpr size_t TGA_BLOCK_SIZE = 64 * 1024;
// Uncompressed pixels are read straight into the image in blocks of this size, a whole
// number of 3- and of 4-byte pixels.
constexpr size_t TGA_RAW_BLOCK_SIZE = 12 * 21845;

void TGAMessage(const char* text, const char* caption = "ERROR") {
    platform::MessageBoxA(0, text, caption, platform::MB_OK);
}

void ReleaseImageData(TGATexture& Texture) {
    std::free(Texture.ImageData);
    Texture.ImageData = nullptr;
}

// The first steps of both pixel readers: info header, its checks, the derived sizes.
bool ReadImageInfo(TGATexture& Texture) {
    if (platform::RawFileRead(FTGA, TGA.Header, sizeof TGA.Header) != sizeof TGA.Header) {
        TGAMessage("Could not read info header");
        return false;
    }
    Texture.Width = TGA.Header[1] * 256u + TGA.Header[0];
    Texture.Height = TGA.Header[3] * 256u + TGA.Header[2];
    Texture.BPP = TGA.Header[4];
    TGA.Width = Texture.Width;
    TGA.Heigh = Texture.Height;
    TGA.BPP = Texture.BPP;

    // ImageSize is a 32-bit count; a larger image would wrap it and leave the buffer too
    // small for the pixels that follow.
    const uint64_t size = uint64_t{Texture.Width} * Texture.Height * (Texture.BPP / 8);
    if (Texture.Width == 0 || Texture.Height == 0 || (Texture.BPP != 24 && Texture.BPP != 32) ||
        size > UINT32_MAX) {
        TGAMessage("Invalid texture information");
        return false;
    }
    Texture.Typ = Texture.BPP == 24 ? GL_RGB : GL_RGBA;
    TGA.BytesPerPixel = Texture.BPP / 8;
    TGA.ImageSize = static_cast<uint32_t>(size);
    return true;
}

bool AllocateImageData(TGATexture& Texture) {
    Texture.ImageData = static_cast<uint8_t*>(std::calloc(TGA.ImageSize, 1));
    if (Texture.ImageData == nullptr) {
        TGAMessage("Could not allocate memory for image");
        return false;
    }
    return true;
}

// BGRA -> RGBA of one pixel, as a 32-bit word so that loops over it vectorise.
inline uint32_t SwapRedBlue(uint32_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        return (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
    } else {
        return (v & 0x00FF00FFu) | ((v >> 16) & 0xFF00u) | ((v & 0xFF00u) << 16);
    }
}

void SwapRedBlueInPlace(uint8_t* data, size_t pixels, uint32_t bytesPerPixel) {
    if (bytesPerPixel == 4) {
        for (size_t i = 0; i < pixels; ++i) {
            uint32_t v;
            std::memcpy(&v, data + i * 4, 4);
            v = SwapRedBlue(v);
            std::memcpy(data + i * 4, &v, 4);
        }
    } else {
        for (size_t i = 0; i < pixels; ++i) {
            uint8_t* p = data + i * 3;
            const uint8_t blue = p[0];
            p[0] = p[2];
            p[2] = blue;
        }
    }
}

// Stores count pixels read as stored (blue first) into out as red first.
void CopyPixelsSwapped(uint8_t* out, const uint8_t* in, size_t count, uint32_t bytesPerPixel) {
    if (bytesPerPixel == 4) {
        for (size_t i = 0; i < count; ++i) {
            uint32_t v;
            std::memcpy(&v, in + i * 4, 4);
            v = SwapRedBlue(v);
            std::memcpy(out + i * 4, &v, 4);
        }
    } else {
        for (size_t i = 0; i < count; ++i) {
            out[i * 3] = in[i * 3 + 2];
            out[i * 3 + 1] = in[i * 3 + 1];
            out[i * 3 + 2] = in[i * 3];
        }
    }
}

// Stores one pixel value count times.
void FillPixels(uint8_t* out, const uint8_t* ColorBuffer, size_t count, uint32_t bytesPerPixel) {
    if (bytesPerPixel == 4) {
        uint32_t v;
        std::memcpy(&v, ColorBuffer, 4);
        v = SwapRedBlue(v);
        for (size_t i = 0; i < count; ++i)
            std::memcpy(out + i * 4, &v, 4);
    } else {
        const uint8_t r = ColorBuffer[2], g = ColorBuffer[1], b = ColorBuffer[0];
        for (size_t i = 0; i < count; ++i) {
            out[i * 3] = r;
            out[i * 3 + 1] = g;
            out[i * 3 + 2] = b;
        }
    }
}

// FTGA's bytes seen through a block buffer: packets are decoded where they lie.
struct TGABlockReader {
    uint8_t Data[TGA_BLOCK_SIZE];
    size_t Pos = 0;
    size_t Fill = 0;
    bool AtEnd = false;

    // Makes up to want bytes (want <= TGA_BLOCK_SIZE) readable at Data + Pos and says how
    // many are; fewer only at the end of the file.
    size_t Ensure(size_t want) {
        if (Fill - Pos >= want) return want;
        if (!AtEnd) {
            const size_t left = Fill - Pos;
            std::memmove(Data, Data + Pos, left);
            Pos = 0;
            Fill = left;
            const size_t room = TGA_BLOCK_SIZE - Fill;
            const size_t got = platform::RawFileRead(FTGA, Data + Fill, room);
            Fill += got;
            AtEnd = got < room;
        }
        const size_t have = Fill - Pos;
        return have < want ? have : want;
    }
};

} // namespace

bool LoadTGA(TGATexture& Texture, const char* Filename) {
    if (!platform::RawFileOpen(FTGA, Filename)) {
        TGAMessage("Could not open texture file");
        return false;
    }
    if (platform::RawFileRead(FTGA, TGAHeader.Header, sizeof TGAHeader.Header) !=
        sizeof TGAHeader.Header) {
        TGAMessage("Could not read file header");
        platform::RawFileClose(FTGA);
        return false;
    }
    bool loaded;
    if (std::memcmp(TGAHeader.Header, UTGAcompare, sizeof UTGAcompare) == 0) {
        loaded = LoadUncompressedTGA(Texture, Filename);
    } else if (std::memcmp(TGAHeader.Header, CTGAcompare, sizeof CTGAcompare) == 0) {
        loaded = LoadCompressedTGA(Texture, Filename);
    } else {
        TGAMessage("TGA file be type 2 or type 10", "Invalid Image");
        loaded = false;
    }
    if (!loaded) platform::RawFileClose(FTGA);
    return loaded;
}

bool LoadUncompressedTGA(TGATexture& Texture, const char* /*Filename*/) {
    if (!ReadImageInfo(Texture)) return false;

    // A regular file too short for its pixels is refused before a buffer of the declared
    // size (up to 4 GiB) is asked for; the reader would only find the same shortfall later.
    const int64_t fileSize = platform::RawFileSize(FTGA);
    const int64_t pixelsAt = sizeof TGAHeader.Header + sizeof TGA.Header;
    if (fileSize >= 0 && fileSize - pixelsAt < int64_t{TGA.ImageSize}) {
        TGAMessage("Could not read image data");
        return false;
    }

    if (!AllocateImageData(Texture)) return false;
    // Block by block, each swapped while it is still in cache.
    for (size_t done = 0; done < TGA.ImageSize;) {
        const size_t block = std::min<size_t>(TGA_RAW_BLOCK_SIZE, TGA.ImageSize - done);
        if (platform::RawFileRead(FTGA, Texture.ImageData + done, block) != block) {
            TGAMessage("Could not read image data");
            ReleaseImageData(Texture);
            return false;
        }
        SwapRedBlueInPlace(Texture.ImageData + done, block / TGA.BytesPerPixel, TGA.BytesPerPixel);
        done += block;
    }
    platform::RawFileClose(FTGA);
    return true;
}

bool LoadCompressedTGA(TGATexture& Texture, const char* /*Filename*/) {
    if (!ReadImageInfo(Texture)) return false;
    if (!AllocateImageData(Texture)) return false;

    const uint32_t bytesPerPixel = TGA.BytesPerPixel;
    const uint32_t PixelCount = TGA.Heigh * TGA.Width; // fits: ImageSize did
    uint32_t CurrentPixel = 0;
    size_t CurrentByte = 0;

    auto* ColorBuffer = static_cast<uint8_t*>(std::calloc(bytesPerPixel, 1));
    if (ColorBuffer == nullptr) {
        TGAMessage("Could not allocate memory for color buffer");
        ReleaseImageData(Texture);
        return false;
    }
    auto fail = [&](const char* text) {
        TGAMessage(text);
        std::free(ColorBuffer);
        ReleaseImageData(Texture);
        return false;
    };

    TGABlockReader in;
    while (CurrentPixel < PixelCount) {
        if (in.Ensure(1) < 1) return fail("Could not read RLE header");
        const uint8_t ChunkHeader = in.Data[in.Pos++];
        const uint32_t room = PixelCount - CurrentPixel;

        if (ChunkHeader < 128) {
            const uint32_t count = ChunkHeader + 1u;
            const uint32_t fits = count < room ? count : room;
            const size_t bytes = size_t{fits} * bytesPerPixel;
            if (in.Ensure(bytes) < bytes) return fail("Could not read image data");
            CopyPixelsSwapped(Texture.ImageData + CurrentByte, in.Data + in.Pos, fits,
                              bytesPerPixel);
            in.Pos += bytes;
            CurrentByte += bytes;
            CurrentPixel += fits;
            if (fits < count) {
                // The packet goes on past the image: its next pixel is read, then refused.
                if (in.Ensure(bytesPerPixel) < bytesPerPixel)
                    return fail("Could not read image data");
                return fail("Too many pixels read");
            }
        } else {
            const uint32_t count = ChunkHeader - 127u;
            if (in.Ensure(bytesPerPixel) < bytesPerPixel) return fail("Could not read from file");
            std::memcpy(ColorBuffer, in.Data + in.Pos, bytesPerPixel);
            in.Pos += bytesPerPixel;
            const uint32_t fits = count < room ? count : room;
            FillPixels(Texture.ImageData + CurrentByte, ColorBuffer, fits, bytesPerPixel);
            CurrentByte += size_t{fits} * bytesPerPixel;
            CurrentPixel += fits;
            if (fits < count) return fail("Too many pixels read");
        }
    }

    std::free(ColorBuffer);
    platform::RawFileClose(FTGA);
    return true;
}

} // namespace Lumora
