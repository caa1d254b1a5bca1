// Texture slots on a real GL context: the texture object a load makes, its filters, wrap
// and mipmaps, what a refused or missing file leaves alone, and uploads of unpadded rows.
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gl_test_window.h"
#include "lumora/textures.h"
#include "message_boxes.h"

using namespace Lumora;
using Bytes = std::vector<uint8_t>;

namespace {

// An uncompressed file of the given size and depth; pixels given red first, stored blue first.
Bytes RawTga(uint16_t width, uint16_t height, uint8_t depth, const Bytes& rgb) {
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    file.insert(file.end(), {uint8_t(width & 0xFF), uint8_t(width >> 8), uint8_t(height & 0xFF),
                             uint8_t(height >> 8), depth, 0});
    const size_t n = depth / 8;
    for (size_t i = 0; i + n <= rgb.size(); i += n) {
        file.insert(file.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
        if (n == 4) file.push_back(rgb[i + 3]);
    }
    return file;
}

// Distinct bytes everywhere, so a skewed row or swapped channel shows.
Bytes Pattern(size_t count, uint8_t start = 1) {
    Bytes p(count);
    for (size_t i = 0; i < count; ++i)
        p[i] = uint8_t(start + i * 7);
    return p;
}

GLint Bound() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint TexParam(GLenum name) {
    GLint v = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
    return v;
}

GLint LevelWidth(GLint level) {
    GLint w = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    return w;
}

// A level of the bound texture, rows packed without gaps.
Bytes ReadLevel(GLint level, GLenum format, size_t bytes) {
    GLint pack = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    Bytes out(bytes + 64, 0xCD);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, out.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    EXPECT_TRUE(std::all_of(out.begin() + bytes, out.end(), [](uint8_t b) { return b == 0xCD; }));
    out.resize(bytes);
    return out;
}

class TextureSlots : public testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/texture_slots_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        test_support::RecordedMessageBoxes().clear();
        window_ = std::make_unique<test_support::GlTestWindow>(64, 64);
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove_all(dir_);
    }

    std::string Write(const Bytes& bytes, const std::string& name = "image.tga") {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    std::string dir_;
    std::unique_ptr<test_support::GlTestWindow> window_;
};

TEST_F(TextureSlots, LoadMakesABoundLinearRepeatingTextureAndReleasesThePixels) {
    const Bytes rgba = Pattern(4 * 2 * 4);
    TextureLoadTGAID(Write(RawTga(4, 2, 32, rgba)).c_str(), 0);

    const TGATexture& slot = TextureTGA2[0];
    ASSERT_NE(slot.TexID, 0u);
    EXPECT_TRUE(glIsTexture(slot.TexID));
    EXPECT_EQ(GLuint(Bound()), slot.TexID);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(slot.ImageData, nullptr);
    EXPECT_EQ(slot.BPP, 32u);
    EXPECT_EQ(slot.Width, 4u);
    EXPECT_EQ(slot.Height, 2u);
    EXPECT_EQ(slot.Typ, GLuint(GL_RGBA));

    EXPECT_EQ(TexParam(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TexParam(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TexParam(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TexParam(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(LevelWidth(0), 4);
    EXPECT_EQ(LevelWidth(1), 0) << "no mipmaps for a linear minifying filter";
    EXPECT_EQ(ReadLevel(0, GL_RGBA, rgba.size()), rgba);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(test_support::RecordedMessageBoxes().empty());
}

TEST_F(TextureSlots, MipmapsOnlyForTheFourMipmapFilters) {
    struct Case {
        GLint filter;
        bool mipmaps;
    };
    const Case cases[] = {{GL_NEAREST_MIPMAP_NEAREST, true},
                          {GL_NEAREST_MIPMAP_LINEAR, true},
                          {GL_LINEAR_MIPMAP_NEAREST, true},
                          {GL_LINEAR_MIPMAP_LINEAR, true},
                          {GL_NEAREST, false},
                          {GL_LINEAR, false}};
    // One colour all over, so each mipmap level must hold it too; red and blue differ, so
    // a level built from the wrong channel order shows.
    for (uint8_t depth : {24, 32}) {
        const size_t n = depth / 8;
        Bytes pixels;
        for (int i = 0; i < 8 * 4; ++i) {
            pixels.insert(pixels.end(), {200, 120, 40});
            if (n == 4) pixels.push_back(90);
        }
        const std::string path = Write(RawTga(8, 4, depth, pixels));
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "depth " << int(depth) << " filter 0x" << std::hex << c.filter);
            GL_Min_Filter = c.filter;
            GL_Mag_Filter = GL_NEAREST;
            TextureLoadTGAID(path.c_str(), 3);
            ASSERT_EQ(GLuint(Bound()), TextureTGA2[3].TexID);
            EXPECT_EQ(TexParam(GL_TEXTURE_MIN_FILTER), c.filter);
            EXPECT_EQ(TexParam(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
            EXPECT_EQ(LevelWidth(1), c.mipmaps ? 4 : 0);
            EXPECT_EQ(LevelWidth(3), c.mipmaps ? 1 : 0);
            if (c.mipmaps) {
                const Bytes level2 = ReadLevel(2, n == 4 ? GL_RGBA : GL_RGB, 2 * 1 * n);
                EXPECT_EQ(level2, Bytes(pixels.begin(), pixels.begin() + 2 * n));
            }
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureSlots, MissingFilesAndDirectoriesAreSkippedSilently) {
    std::filesystem::create_directory(dir_ + "/folder.tga");
    for (const std::string& path : {dir_ + "/missing.tga", dir_ + "/folder.tga"}) {
        TextureLoadTGAID(path.c_str(), 0);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << path;
        EXPECT_EQ(Bound(), 0) << path;
        EXPECT_EQ(TextureTGA2[0].TexID, 0u);
        EXPECT_EQ(TextureTGA2[0].Width, 0u);
    }
    EXPECT_TRUE(test_support::RecordedMessageBoxes().empty());
}

TEST_F(TextureSlots, ARefusedFileKeepsTheSlotsTextureAndMakesNoGlCall) {
    TextureLoadTGAID(Write(RawTga(2, 2, 24, Pattern(12)), "good.tga").c_str(), 9);
    const GLuint earlier = TextureTGA2[9].TexID;
    ASSERT_NE(earlier, 0u);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);

    Bytes bad = RawTga(2, 2, 24, Pattern(12));
    bad.resize(bad.size() - 1); // one byte of pixel data short
    TextureLoadTGAID(Write(bad, "bad.tga").c_str(), 9);

    ASSERT_EQ(test_support::RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(test_support::RecordedMessageBoxes()[0].text, "Could not read image data");
    EXPECT_EQ(TextureTGA2[9].TexID, earlier);
    EXPECT_EQ(TextureTGA2[9].ImageData, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(Bound(), 0);
}

TEST_F(TextureSlots, LoadingASlotTwiceKeepsTheSecondName) {
    const std::string a = Write(RawTga(1, 1, 24, {1, 2, 3}), "a.tga");
    const std::string b = Write(RawTga(2, 1, 32, Pattern(8)), "b.tga");
    TextureLoadTGAID(a.c_str(), 5);
    const GLuint first = TextureTGA2[5].TexID;
    TextureLoadTGAID(b.c_str(), 5);
    const GLuint second = TextureTGA2[5].TexID;
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_TRUE(glIsTexture(first)) << "the earlier texture stays in GL";
    EXPECT_EQ(TextureTGA2[5].Width, 2u);
    EXPECT_EQ(TextureTGA2[5].BPP, 32u);

    glBindTexture(GL_TEXTURE_2D, first);
    TextureTGASelectID(5);
    EXPECT_EQ(GLuint(Bound()), second);
}

TEST_F(TextureSlots, SelectingBindsTheSlotsNameOrZero) {
    TextureLoadTGAID(Write(RawTga(1, 1, 24, {1, 2, 3})).c_str(), 200);
    const GLuint name = TextureTGA2[200].TexID;
    ASSERT_NE(name, 0u);
    TextureTGASelectID(7); // never loaded
    EXPECT_EQ(Bound(), 0);
    TextureTGASelectID(200);
    EXPECT_EQ(GLuint(Bound()), name);

    TextureOff();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    TextureOn();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

// Slot numbers outside 0..200 would index past the table; they do nothing at all.
TEST_F(TextureSlots, SlotNumbersOutsideTheTableDoNothing) {
    const std::string path = Write(RawTga(1, 1, 24, {1, 2, 3}));
    const TGATexture before0 = TextureTGA2[0];
    for (int32_t num : {-1, 201, 1 << 30}) {
        TextureLoadTGAID(path.c_str(), num);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        TextureTGASelectID(200);
        glBindTexture(GL_TEXTURE_2D, TextureTGA2[200].TexID);
        TextureTGASelectID(num);
        EXPECT_EQ(Bound(), 0);
    }
    EXPECT_EQ(std::memcmp(&before0, &TextureTGA2[0], sizeof before0), 0);
    EXPECT_TRUE(test_support::RecordedMessageBoxes().empty());
}

// Rows of 5 x 3 bytes are not padded to 4; the upload must not read them askew, and the
// caller's unpack alignment comes back afterwards.
TEST_F(TextureSlots, TwentyFourBitRowsOfAnyWidthUploadExactly) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    const Bytes rgb = Pattern(5 * 3 * 3);
    TextureLoadTGAID(Write(RawTga(5, 3, 24, rgb)).c_str(), 1);
    ASSERT_NE(TextureTGA2[1].TexID, 0u);
    EXPECT_EQ(ReadLevel(0, GL_RGB, rgb.size()), rgb);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 2);
}

TEST_F(TextureSlots, AddMipmapsTextureTakesUnpaddedRows) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // 2 x 2 at 24 bits: rows of 6 bytes. Level 0 is respecified from these bytes.
    const Bytes rgb = Pattern(2 * 2 * 3, 10);
    AddMipmapsTexture(24, 2, 2, rgb.data());
    EXPECT_EQ(ReadLevel(0, GL_RGB, rgb.size()), rgb);
    EXPECT_EQ(LevelWidth(1), 1);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);

    const Bytes rgba = Pattern(2 * 2 * 4, 3);
    AddMipmapsTexture(32, 2, 2, rgba.data());
    EXPECT_EQ(ReadLevel(0, GL_RGBA, rgba.size()), rgba);

    // Any other depth leaves the texture as it was.
    GLuint fresh = 0;
    glGenTextures(1, &fresh);
    glBindTexture(GL_TEXTURE_2D, fresh);
    AddMipmapsTexture(16, 2, 2, rgba.data());
    EXPECT_EQ(LevelWidth(0), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
