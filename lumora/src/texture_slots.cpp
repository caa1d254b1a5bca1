// The numbered texture slots: TGA files become GL textures (with mipmaps when the
// minifying filter wants them), bound by slot number.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

#include "lumora/textures.h"

namespace Lumora {

TGATexture TextureTGA2[TEXTURE_SLOTS] = {}; // the slots; written by TextureLoadTGAID
int32_t GL_Min_Filter = GL_LINEAR;          // minifying filter for later loads; the program
int32_t GL_Mag_Filter = GL_LINEAR;          // magnifying filter for later loads; the program

namespace {

bool IsMipmapFilter(int32_t filter) {
    return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_NEAREST_MIPMAP_LINEAR ||
           filter == GL_LINEAR_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_LINEAR;
}

// Decoded rows follow each other without padding, while GL assumes rows padded to 4 bytes;
// a 24-bit image of odd width would be read askew. Returns the alignment to put back.
GLint BeginTightUnpack() {
    GLint previous = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previous);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return previous;
}

} // namespace

void TextureLoadTGAID(const char* TGAFile, int32_t Num) {
    if (Num < 0 || Num >= TEXTURE_SLOTS) return;
    if (!platform::FileExists(TGAFile)) return;
    TGATexture& slot = TextureTGA2[Num];
    if (!LoadTGA(slot, TGAFile)) return;

    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    slot.TexID = name;
    glBindTexture(GL_TEXTURE_2D, slot.TexID);

    const GLint previousAlignment = BeginTightUnpack();
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(slot.BPP / 8),
                 static_cast<GLsizei>(slot.Width), static_cast<GLsizei>(slot.Height), 0, slot.Typ,
                 GL_UNSIGNED_BYTE, slot.ImageData);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_Min_Filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_Mag_Filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (IsMipmapFilter(GL_Min_Filter)) {
        AddMipmapsTexture(static_cast<int32_t>(slot.BPP), static_cast<int32_t>(slot.Width),
                          static_cast<int32_t>(slot.Height), slot.ImageData);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    std::free(slot.ImageData);
    slot.ImageData = nullptr;
}

void TextureTGASelectID(int32_t Num) {
    const GLuint name = Num >= 0 && Num < TEXTURE_SLOTS ? TextureTGA2[Num].TexID : 0;
    glBindTexture(GL_TEXTURE_2D, name);
}

void TextureOn() {
    glEnable(GL_TEXTURE_2D);
}

void TextureOff() {
    glDisable(GL_TEXTURE_2D);
}

void AddMipmapsTexture(int32_t Format, int32_t Width, int32_t Height, const void* Bits) {
    GLint components;
    GLenum pixelFormat;
    if (Format == 24) {
        components = 3;
        pixelFormat = GL_RGB;
    } else if (Format == 32) {
        // The same red-green-blue-alpha buffer that level 0 was just made from.
        components = 4;
        pixelFormat = GL_RGBA;
    } else {
        return;
    }
    const GLint previousAlignment = BeginTightUnpack();
    gluBuild2DMipmaps(GL_TEXTURE_2D, components, Width, Height, pixelFormat, GL_UNSIGNED_BYTE,
                      Bits);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
}

} // namespace Lumora
