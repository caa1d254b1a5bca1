// Drawing of cloud layers on a real GL context: blending factors by type, the state left
// behind, one billboard per seeded emitter showing its cell (feedback and pixels), and no
// read past the layer.
#include <array>
#include <cstring>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_feedback.h"
#include "gl_state.h"
#include "gl_test_window.h"
#include "layer_fixture.h"
#include "lumora/render.h"
#include "lumora/window.h"
#include "zeph_games/clouds.h"

using namespace Lumora;
using namespace Zeph_Games;
using test_layers::GuardedLayer;

namespace {

using test_support::Int;
using test_support::Mat;
using test_support::ModelView;

// Emitters in a row along x, 40 eye units apart, upright, half-side 10.
void PlaceInARow(std::span<TGLFX_Particle> layer, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        layer[i].Pos = {-300.0f + 40.0f * static_cast<float>(i), 0.0f, 0.0f};
        layer[i].Size = 10.0f;
        layer[i].Ang = 0.0f;
    }
    layer[0].MaxObj = count;
}

// An 8 x 4 sprite sheet with one texel per cell: cell (c, r), r counted from the t = 1
// edge, is (32 c, 64 r, 200) and opaque, except cell (7, 3), which is white and fully
// transparent. Rows are stored bottom up, so cell row r is texture row 3 - r.
GLuint MakeSheet() {
    std::array<uint8_t, 8 * 4 * 4> texels{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 8; ++c) {
            uint8_t* t = &texels[((3 - r) * 8 + c) * 4];
            const bool clear = c == 7 && r == 3;
            t[0] = clear ? 255 : static_cast<uint8_t>(32 * c);
            t[1] = clear ? 255 : static_cast<uint8_t>(64 * r);
            t[2] = clear ? 255 : 200;
            t[3] = clear ? 0 : 255;
        }
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return tex;
}

class CloudDrawing : public testing::Test {
  protected:
    void SetUp() override {
        Width = 800;
        Height = 600;
        test_support::SetPixelEyeProjection(800, 600);
    }
    test_support::GlTestWindow win{800, 600};
};

} // namespace

TEST_F(CloudDrawing, TypesChooseTheirBlendingFactors) {
    struct TypeCase {
        int32_t Type;
        GLenum Src, Dst;
    };
    const TypeCase cases[] = {
        {CLOUD_BRIGHT, GL_ONE, GL_ONE_MINUS_SRC_COLOR},
        {CLOUD_NORMAL, GL_ONE, GL_ONE_MINUS_SRC_ALPHA},
        {CLOUD_TINY_DARK, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
        {CLOUD_VERY_DARK, GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA},
        {CLOUD_TINY_BRIGHT, GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_ALPHA},
        {CLOUD_DARK_SMOOTH, GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA},
        {CLOUD_DARK, GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},
        // Unknown types keep the factors in force.
        {7, GL_SRC_ALPHA, GL_ONE},
        {-1, GL_SRC_ALPHA, GL_ONE},
        {100, GL_SRC_ALPHA, GL_ONE},
    };
    GuardedLayer g(3, 0);
    PlaceInARow(g.Layer(), 3);
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.Type);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        GenClouds(g.Layer(), c.Type, 8, 4);
        EXPECT_EQ(Int(GL_BLEND_SRC), static_cast<GLint>(c.Src));
        EXPECT_EQ(Int(GL_BLEND_DST), static_cast<GLint>(c.Dst));
    }
}

TEST_F(CloudDrawing, LeavesItsStateAndTheCallersMatrix) {
    for (int32_t count : {0, 5}) {
        SCOPED_TRACE(count);
        GuardedLayer g(5, 0);
        PlaceInARow(g.Layer(), count);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_LESS, 0.5f);
        glColorMaterial(GL_FRONT, GL_AMBIENT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glLoadIdentity();
        glRotatef(30, 1, 1, 0);
        glPushMatrix();
        const Mat before = ModelView();
        const GLint depth = Int(GL_MODELVIEW_STACK_DEPTH);

        GenClouds(g.Layer(), CLOUD_NORMAL, 8, 4);

        EXPECT_EQ(ModelView(), before);
        EXPECT_EQ(Int(GL_MODELVIEW_STACK_DEPTH), depth);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_EQ(Int(GL_DEPTH_WRITEMASK), GL_TRUE);
        EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
        EXPECT_EQ(Int(GL_ALPHA_TEST_FUNC), GL_GREATER);
        GLfloat ref = -1;
        glGetFloatv(GL_ALPHA_TEST_REF, &ref);
        EXPECT_EQ(ref, 0.0f);
        EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
        EXPECT_EQ(Int(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
        EXPECT_EQ(Int(GL_COLOR_MATERIAL_PARAMETER), GL_DIFFUSE);
        GLint env = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        EXPECT_EQ(env, GL_MODULATE);
        EXPECT_FALSE(LockViewModelScale);
        glPopMatrix();
    }
}

TEST_F(CloudDrawing, EachSeededEmitterIsOneBillboardShowingItsCell) {
    GuardedLayer g(14, 0);
    auto layer = g.Layer();
    PlaceInARow(layer, 12);
    layer[12].Size = 10.0f; // beyond the count: never drawn
    layer[3].Ang = 90.0f;
    glTranslatef(0, 0, -20);
    const auto quads = test_support::QuadsFromFeedback(
        test_support::CaptureFeedback([&] { GenClouds(layer, CLOUD_NORMAL, 8, 4); }));
    ASSERT_EQ(quads.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        const auto& q = quads[static_cast<size_t>(i)];
        // In index order, centred on the emitter.
        float cx = 0, cy = 0;
        for (const auto& v : q) {
            const auto e = test_support::EyeFromWindow(v, 800, 600);
            cx += e.X / 4;
            cy += e.Y / 4;
            EXPECT_NEAR(e.Z, -20.0f, 1e-3f);
        }
        EXPECT_NEAR(cx, -300.0f + 40.0f * i, 1e-3f);
        EXPECT_NEAR(cy, 0.0f, 1e-3f);
        // Cell (i, i) of the 8 x 4 grid, which the repeating sheet shows as (i mod 8, i mod 4).
        EXPECT_FLOAT_EQ(q[0].S, i / 8.0f);
        EXPECT_FLOAT_EQ(q[2].S, (i + 1) / 8.0f);
        EXPECT_FLOAT_EQ(q[0].T, 1.0f - (i + 1) / 4.0f);
        EXPECT_FLOAT_EQ(q[2].T, 1.0f - i / 4.0f);
    }
    // Emitter 3 is turned a quarter turn: its first corner moved from lower left to lower right.
    const auto e = test_support::EyeFromWindow(quads[3][0], 800, 600);
    EXPECT_NEAR(e.X, -300.0f + 120.0f + 10.0f, 1e-3f);
    EXPECT_NEAR(e.Y, -10.0f, 1e-3f);
}

TEST_F(CloudDrawing, NeverReadsPastTheLayer) {
    for (int32_t maxObj : {5, 1000, INT32_MAX}) {
        SCOPED_TRACE(maxObj);
        GuardedLayer g(4, 2);
        auto layer = g.Layer();
        PlaceInARow(layer, 4);
        layer[0].MaxObj = maxObj;
        const std::vector<TGLFX_Particle> before(layer.begin(), layer.end());
        const auto prims = test_support::CaptureFeedback([&] { GenClouds(layer, 1, 8, 4); });
        EXPECT_EQ(test_support::PolygonCount(prims), 8u) << "four billboards";
        EXPECT_TRUE(g.GuardsIntact());
        EXPECT_EQ(std::memcmp(before.data(), layer.data(), layer.size_bytes()), 0)
            << "the layer is not changed by drawing";
    }
    for (int32_t maxObj : {0, -3}) {
        GuardedLayer g(4, 0);
        PlaceInARow(g.Layer(), 4);
        g.Layer()[0].MaxObj = maxObj;
        EXPECT_TRUE(test_support::CaptureFeedback([&] { GenClouds(g.Layer(), 1, 8, 4); }).empty());
    }
    EXPECT_TRUE(test_support::CaptureFeedback([] { GenClouds({}, 1, 8, 4); }).empty());
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(CloudDrawing, BillboardsShowTheirCellsWithoutDepthWritesAndSkipClearTexels) {
    const GLuint sheet = MakeSheet();
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, sheet);
    glColor4f(1, 1, 1, 1);
    GuardedLayer g(16, 0);
    PlaceInARow(g.Layer(), 16);
    GenClouds(g.Layer(), CLOUD_NORMAL, 8, 4);

    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        const int x = 400 - 300 + 40 * i, y = 300;
        const int c = i % 8, r = i % 4;
        const uint32_t px = win.PixelAt(x, y) >> 8;
        if (c == 7 && r == 3) {
            // White at alpha 0 would brighten the pixel; the alpha test drops it.
            EXPECT_EQ(px, 0u);
        } else {
            EXPECT_EQ(px, (uint32_t(32 * c) << 16) | (uint32_t(64 * r) << 8) | 200u);
        }
        GLfloat depth = 0;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth, 1.0f) << "billboards write no depth";
    }
    glDeleteTextures(1, &sheet);
}

TEST_F(CloudDrawing, CurrentColourIsTheLitDiffuseMaterial) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat dir[4] = {0, 0, 1, 0}, black[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, dir);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    glNormal3f(0, 0, 1);
    glColor3f(1, 0, 0);
    GuardedLayer g(1, 0);
    PlaceInARow(g.Layer(), 1);
    const auto prims = test_support::CaptureFeedback([&] { GenClouds(g.Layer(), 1, 8, 4); });
    ASSERT_FALSE(prims.empty());
    for (const auto& v : prims[0].Vertices) {
        EXPECT_GT(v.R, 0.9f);
        EXPECT_LT(v.G, 0.1f) << "the default grey material would light it grey";
    }
}
