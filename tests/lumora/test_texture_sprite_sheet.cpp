// The generated sprite sheet as the demo uses it: 8 x 4 distinct premultiplied cloud
// puffs, clear along every cell edge, lit from the top, written the same on every run.
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gl_test_window.h"
#include "lumora/textures.h"
#include "message_boxes.h"

using namespace Lumora;

namespace {

constexpr int kCell = 128, kAcross = 8, kDown = 4;

// The build's bin/ folder, where the test programs live beside the generated sheet.
std::string BinDir() {
    if (const char* dir = std::getenv("LUMORA_BIN_DIR")) return dir;
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class SpriteSheet : public testing::Test {
  protected:
    void SetUp() override {
        path_ = BinDir() + "/CloudsParticles4.tga";
        ASSERT_TRUE(std::filesystem::exists(path_)) << path_ << " (made by the build)";
        ASSERT_TRUE(LoadTGA(tex_, path_.c_str()));
    }
    void TearDown() override { std::free(tex_.ImageData); }

    // Texel (x, y) of cell (px, py), both counted as the sprite-sheet arithmetic counts
    // them: cell rows from the t = 1 edge, texel rows from the top of the picture.
    const uint8_t* Texel(int px, int py, int x, int y) const {
        const int pictureRow = py * kCell + y;
        const int fileRow = int(tex_.Height) - 1 - pictureRow; // bottom-left origin
        return tex_.ImageData + (size_t(fileRow) * tex_.Width + px * kCell + x) * 4;
    }

    std::string path_;
    TGATexture tex_{};
};

TEST_F(SpriteSheet, IsA32BitRunLengthFileOfTheExpectedSize) {
    const std::vector<char> file = ReadFile(path_);
    ASSERT_GE(file.size(), 18u);
    EXPECT_EQ(file[2], 10);
    EXPECT_EQ(file[16], 32);
    EXPECT_EQ(file[17] & 0x20, 0) << "bottom-left origin";
    EXPECT_EQ(tex_.Width, 1024u);
    EXPECT_EQ(tex_.Height, 512u);
    EXPECT_EQ(tex_.Typ, GLuint(GL_RGBA));
    EXPECT_LT(file.size(), 1024u * 512u * 4u / 2) << "run-length encoding should pay off";
}

TEST_F(SpriteSheet, CellsAreSoftPremultipliedPuffsClearAtTheirEdges) {
    std::vector<std::vector<uint8_t>> alphas;
    for (int py = 0; py < kDown; ++py) {
        for (int px = 0; px < kAcross; ++px) {
            SCOPED_TRACE(testing::Message() << "cell " << px << "," << py);
            std::vector<uint8_t> alpha;
            int covered = 0, maxAlpha = 0, edgeAlpha = 0, overflow = 0, grey = 0;
            double topLight = 0, topWeight = 0, bottomLight = 0, bottomWeight = 0;
            for (int y = 0; y < kCell; ++y) {
                for (int x = 0; x < kCell; ++x) {
                    const uint8_t* t = Texel(px, py, x, y);
                    const int a = t[3];
                    alpha.push_back(t[3]);
                    const int edge =
                        std::min(std::min(x, kCell - 1 - x), std::min(y, kCell - 1 - y));
                    if (edge < 3) edgeAlpha = std::max(edgeAlpha, a);
                    if (t[0] > a || t[1] > a || t[2] > a) ++overflow;
                    if (a > 0) ++covered;
                    maxAlpha = std::max(maxAlpha, a);
                    if (a >= 64) {
                        const double light = (t[0] + t[1] + t[2]) / (3.0 * a);
                        if (light < 0.6) ++grey;
                        (y < kCell / 2 ? topLight : bottomLight) += light * a;
                        (y < kCell / 2 ? topWeight : bottomWeight) += a;
                    }
                }
            }
            EXPECT_EQ(edgeAlpha, 0) << "alpha must reach zero inside the cell";
            EXPECT_EQ(overflow, 0) << "colour above alpha is not premultiplied";
            EXPECT_EQ(grey, 0) << "clouds are near-white";
            EXPECT_GT(maxAlpha, 120);
            EXPECT_GT(covered, kCell * kCell / 8);
            EXPECT_LT(covered, kCell * kCell * 3 / 4);
            ASSERT_GT(topWeight, 0);
            ASSERT_GT(bottomWeight, 0);
            EXPECT_GT(topLight / topWeight, bottomLight / bottomWeight) << "lit from the top";
            alphas.push_back(std::move(alpha));
        }
    }
    for (size_t i = 0; i < alphas.size(); ++i)
        for (size_t j = i + 1; j < alphas.size(); ++j)
            EXPECT_NE(alphas[i], alphas[j]) << "cells " << i << " and " << j << " are the same";
}

TEST_F(SpriteSheet, EveryRunWritesTheSameBytes) {
    char tmpl[] = "/tmp/sprite_sheet_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string again = std::string(tmpl) + "/again.tga";
    const std::string command = BinDir() + "/make_cloud_sprites " + again;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(ReadFile(again) == ReadFile(path_));
    std::filesystem::remove_all(tmpl);
}

TEST_F(SpriteSheet, LoadsIntoSlotZeroAsTheDemoDoes) {
    test_support::GlTestWindow window(64, 64);
    TextureLoadTGAID(path_.c_str(), 0);
    ASSERT_NE(TextureTGA2[0].TexID, 0u);
    GLint bound = 0, width = 0, level1 = -1, minFilter = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(GLuint(bound), TextureTGA2[0].TexID);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(level1, 0);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(TextureTGA2[0].ImageData, nullptr);
    EXPECT_TRUE(test_support::RecordedMessageBoxes().empty());
}

} // namespace
