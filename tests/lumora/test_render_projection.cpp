// Projection and clear set-up on a real GL context: the matrices, viewport, clear values
// and drawing defaults each routine leaves, read back with glGet*.
#include <array>
#include <cmath>
#include <numbers>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_state.h"
#include "gl_test_window.h"
#include "lumora/render.h"
#include "lumora/window.h"

using namespace Lumora;

namespace {

using test_support::Float;
using test_support::Floats4;
using test_support::Int;
using test_support::Mat;
using test_support::Matrix;

// gluPerspective(45, aspect, 0.1, far), column-major.
Mat Perspective(double aspect, double zfar) {
    const double f = 1.0 / std::tan(45.0 / 2.0 * std::numbers::pi / 180.0);
    const double n = 0.1;
    Mat m{};
    m[0] = static_cast<float>(f / aspect);
    m[5] = static_cast<float>(f);
    m[10] = static_cast<float>((zfar + n) / (n - zfar));
    m[11] = -1.0f;
    m[14] = static_cast<float>(2.0 * zfar * n / (n - zfar));
    return m;
}

// glOrtho(-2, 2, -top, top, -2, 2).
Mat Ortho(double top) {
    Mat m{};
    m[0] = 0.5f;
    m[5] = static_cast<float>(1.0 / top);
    m[10] = -0.5f;
    m[15] = 1.0f;
    return m;
}

const Mat Identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void ExpectMatrixNear(const Mat& a, const Mat& b) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-5f) << "element " << i;
}

struct WindowSize {
    int W, H;
    float OffX, OffY;
    double OrthoTop;
};

const WindowSize Sizes[] = {
    {800, 600, -2.05f, -1.45f, 1.5},
    {600, 1200, -0.05f, 0.55f, 4.0},
};

class Projection : public testing::TestWithParam<WindowSize> {
  protected:
    void SetUp() override {
        Width = GetParam().W;
        Height = GetParam().H;
    }
    test_support::GlTestWindow win{GetParam().W, GetParam().H};
};

void ExpectInitState(const WindowSize& s, double depth) {
    EXPECT_EQ(Int(GL_MATRIX_MODE), GL_MODELVIEW);
    ExpectMatrixNear(Matrix(GL_PROJECTION_MATRIX), Perspective(double(s.W) / s.H, depth));
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), Identity);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[0], 0);
    EXPECT_EQ(vp[1], 0);
    EXPECT_EQ(vp[2], s.W);
    EXPECT_EQ(vp[3], s.H);
    EXPECT_EQ(Floats4(GL_COLOR_CLEAR_VALUE),
              (std::array<GLfloat, 4>{0.46484375f, 0.73046875f, 0.99609375f, 0.0f}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(Int(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(Floats4(GL_CURRENT_COLOR), (std::array<GLfloat, 4>{1, 1, 1, 0.5f}));
    EXPECT_EQ(Int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Int(GL_BLEND_DST), GL_ONE);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(Int(GL_LIGHT_MODEL_LOCAL_VIEWER), 1);
    EXPECT_EQ(Int(GL_LINE_SMOOTH_HINT), GL_NICEST);
    EXPECT_EQ(Int(GL_POLYGON_SMOOTH_HINT), GL_NICEST);
    EXPECT_EQ(Int(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_TRUE(glIsEnabled(GL_AUTO_NORMAL));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Windows, Projection, testing::ValuesIn(Sizes), [](const auto& info) {
    return std::to_string(info.param.W) + "x" + std::to_string(info.param.H);
});

TEST_P(Projection, InitSetsThePerspectiveViewAndTheDrawingDefaults) {
    glMatrixMode(GL_PROJECTION); // left elsewhere on purpose
    glTranslatef(1, 2, 3);
    OpenGL_Init(100.0, 0.0, 0.46484375, 0.73046875, 0.99609375);
    ExpectInitState(GetParam(), 100.0);
    EXPECT_EQ(Float(GL_DEPTH_CLEAR_VALUE), 1.0f) << "clamped to the far value";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_P(Projection, I2DSetsTheFlatViewAndTheOffsets) {
    // What I2D must not touch.
    glClearDepth(0.25);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glBlendFunc(GL_ZERO, GL_DST_COLOR);
    glDisable(GL_AUTO_NORMAL);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 5, 5);

    OpenGL_I2D(0.25, 0.5, 0.75, 1.0);
    const WindowSize& s = GetParam();
    EXPECT_FLOAT_EQ(OffX, s.OffX);
    EXPECT_FLOAT_EQ(OffY, s.OffY);
    ExpectMatrixNear(Matrix(GL_PROJECTION_MATRIX), Ortho(s.OrthoTop));
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), Identity);
    EXPECT_EQ(Int(GL_MATRIX_MODE), GL_MODELVIEW);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], s.W);
    EXPECT_EQ(vp[3], s.H);
    EXPECT_EQ(Floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.5f, 0.75f, 1.0f, 0.25f}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(Int(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));

    EXPECT_EQ(Float(GL_DEPTH_CLEAR_VALUE), 0.25f);
    EXPECT_EQ(Floats4(GL_CURRENT_COLOR), (std::array<GLfloat, 4>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(Int(GL_BLEND_SRC), GL_ZERO);
    EXPECT_EQ(Int(GL_BLEND_DST), GL_DST_COLOR);
    EXPECT_FALSE(glIsEnabled(GL_AUTO_NORMAL));
}

TEST_P(Projection, TheFramesPairLeavesInitsStateAndI2DsOffsets) {
    OpenGL_I2D(0, 0, 0, 0);
    OpenGL_Init(100.0, 0.0, 0.46484375, 0.73046875, 0.99609375);
    ExpectInitState(GetParam(), 100.0);
    EXPECT_FLOAT_EQ(OffX, GetParam().OffX);
    EXPECT_FLOAT_EQ(OffY, GetParam().OffY);
}

TEST(ProjectionDepth, DepthBelowOneIsTheClearDepthAndTheFarPlane) {
    test_support::GlTestWindow win(800, 600);
    Width = 800;
    Height = 600;
    OpenGL_Init(0.5, 0.0, 0.46484375, 0.73046875, 0.99609375);
    EXPECT_EQ(Float(GL_DEPTH_CLEAR_VALUE), 0.5f);
    ExpectMatrixNear(Matrix(GL_PROJECTION_MATRIX), Perspective(800.0 / 600.0, 0.5));

    // The buffers really clear to those values; alpha 0 where the buffer keeps alpha.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLfloat depth = -1;
    glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.5f, 1e-4f);
    const uint32_t sky = win.PixelAt(10, 10);
    EXPECT_EQ(sky >> 8, (119u << 16) | (186u << 8) | 254u);
    if (Int(GL_ALPHA_BITS) > 0) {
        EXPECT_EQ(sky & 0xFFu, 0u);
    }
}

TEST(ProjectionZeroWidth, I2DLeavesEverythingAsItWas) {
    test_support::GlTestWindow win(800, 600);
    Width = 800;
    Height = 600;
    OpenGL_I2D(0, 0, 0, 0);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    const Mat projection = Matrix(GL_PROJECTION_MATRIX);
    Width = 0;
    OpenGL_I2D(0, 1, 1, 1);
    EXPECT_FLOAT_EQ(OffX, -2.05f);
    EXPECT_FLOAT_EQ(OffY, -1.45f);
    EXPECT_EQ(Matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(Floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.1f, 0.2f, 0.3f, 0.4f}));
}
