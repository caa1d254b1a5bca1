// Textures: the TGA reader (uncompressed and run-length encoded true colour, 24 and 32
// bits) and the table of numbered texture slots that turn decoded images into GL textures.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace Lumora {

// A decoded image, and in TextureTGA2 a texture slot. ImageData holds Width x Height
// pixels of BPP / 8 bytes (red, green, blue, then alpha), rows in file order without gaps;
// it comes from the C allocator and whoever holds it releases it with std::free.
struct TGATexture {
    uint8_t* ImageData;
    uint32_t BPP;    // 24 or 32
    uint32_t Width;  // 1..65535
    uint32_t Height; // 1..65535
    uint32_t TexID;  // GL texture name, filled by TextureLoadTGAID
    uint32_t Typ;    // GL_RGB or GL_RGBA
};

// The file's first 12 bytes.
struct TTGAHeader {
    uint8_t Header[12];
};

// The reader's working record.
struct TTGA {
    uint8_t Header[6];      // file bytes 12..17: width, height, depth, descriptor
    uint32_t BytesPerPixel; // 3 or 4
    uint32_t ImageSize;     // Width x BytesPerPixel x Heigh
    uint32_t Typ;           // not set by the reader
    uint32_t Heigh;
    uint32_t Width;
    uint32_t BPP;
};

// Signatures of uncompressed and run-length encoded true-colour files.
extern const uint8_t UTGAcompare[12];
extern const uint8_t CTGAcompare[12];

extern TTGAHeader TGAHeader;   // signature of the last file read; written by LoadTGA
extern TTGA TGA;               // info of the last file read; written by the pixel readers
extern platform::RawFile FTGA; // file being read; LoadTGA opens it, the load's end closes it

// Decodes a type 2 or type 10 TGA file into Texture. On false a message box has said why,
// the file is closed and the reader holds no pixel buffer (one it made is freed and nulled).
bool LoadTGA(TGATexture& Texture, const char* Filename);
// Read on from the open FTGA after its signature; called only by LoadTGA. On success they
// close FTGA; on failure they leave it open for LoadTGA.
bool LoadUncompressedTGA(TGATexture& Texture, const char* Filename);
bool LoadCompressedTGA(TGATexture& Texture, const char* Filename);

// ---- texture slots -------------------------------------------------------------------------

constexpr int32_t TEXTURE_SLOTS = 201; // slot numbers 0..200

extern TGATexture TextureTGA2[TEXTURE_SLOTS]; // the slots; written by TextureLoadTGAID
extern int32_t GL_Min_Filter; // minifying filter of textures loaded from now on; the program
extern int32_t GL_Mag_Filter; // magnifying filter of textures loaded from now on; the program

// Loads a TGA file into slot Num as a new GL texture, left bound, and releases the pixels.
// A missing file (or a directory) is skipped silently; so is a slot number outside the table.
void TextureLoadTGAID(const char* TGAFile, int32_t Num);
// Binds slot Num's texture (GL's default texture for a slot never loaded or outside the table).
void TextureTGASelectID(int32_t Num);
void TextureOn();
void TextureOff();
// Builds the mipmap chain of the bound texture from pixels laid out as LoadTGA gives them;
// Format is the bits per pixel, 24 or 32 (anything else does nothing).
void AddMipmapsTexture(int32_t Format, int32_t Width, int32_t Height, const void* Bits);

} // namespace Lumora
