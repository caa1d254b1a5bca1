// Plane normals and textured vertex pairs: FindNormal's unit normals, including the
// degenerate planes, and the vertices LineFree sends (read back in feedback mode).
#include <cmath>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_feedback.h"
#include "gl_test_window.h"
#include "lumora/render.h"
#include "lumora/window.h"

using namespace Lumora;

namespace {

struct NormalCase {
    const char* Name;
    double V[9];
    double N[3];
};

const NormalCase NormalCases[] = {
    {"counter-clockwise seen from +z", {0, 0, 0, 1, 0, 0, 1, 1, 0}, {0, 0, 1}},
    {"clockwise seen from +z", {1, 1, 0, 1, 0, 0, 0, 0, 0}, {0, 0, -1}},
    {"scaled down to unit length", {0, 0, 0, 0, 0, 2, 0, 3, 0}, {-1, 0, 0}},
    {"the demo's ground", {10, 0, -10, -10, 0, -10, -10, 0, 10}, {0, 1, 0}},
    {"collinear points", {0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0}},
    {"three equal points", {4, 5, 6, 4, 5, 6, 4, 5, 6}, {0, 0, 0}},
    // Length 1e-46 is zero as a single: left as it is.
    {"length lost in single precision", {0, 0, 0, 1e-23, 0, 0, 1e-23, 1e-23, 0}, {0, 0, 1e-46}},
};

} // namespace

TEST(FindNormal, UnitNormalOfThePlaneInFNormal) {
    for (const NormalCase& c : NormalCases) {
        SCOPED_TRACE(c.Name);
        FNormal[1] = FNormal[2] = FNormal[3] = 99.0;
        FindNormal(c.V[0], c.V[1], c.V[2], c.V[3], c.V[4], c.V[5], c.V[6], c.V[7], c.V[8]);
        for (int i = 0; i < 3; ++i)
            EXPECT_DOUBLE_EQ(FNormal[i + 1], c.N[i]) << "axis " << i;
    }
}

TEST(FindNormal, NormalsAreUnitLengthToSinglePrecision) {
    const double pts[][9] = {
        {0.3, -1.7, 2.2, 5.1, 0.4, -3.3, -2.8, 7.7, 1.1},
        {1e6, 2e6, -3e6, 4e6, -1e6, 0.5e6, 0, 0, 1},
        {1e-3, 0, 0, 0, 2e-3, 0, 0, 0, 3e-3},
    };
    for (const auto& p : pts) {
        FindNormal(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8]);
        const double len =
            std::sqrt(FNormal[1] * FNormal[1] + FNormal[2] * FNormal[2] + FNormal[3] * FNormal[3]);
        EXPECT_NEAR(len, 1.0, 2e-7);
    }
}

TEST(LineFree, EmitsTwoVerticesWithOrWithoutTheirTextureCoordinates) {
    test_support::GlTestWindow win(800, 600);
    test_support::SetPixelEyeProjection(800, 600);
    const auto quads = test_support::QuadsFromFeedback(test_support::CaptureFeedback([] {
        glTexCoord2f(0.5f, 0.25f);
        glBegin(GL_QUADS);
        LineFree(1, 1, 0, 1, 10, -10, 0, -10, -10, 0, true);
        LineFree(0, 0, 1, 0, -10, 10, 0, 10, 10, 0, true);
        glEnd();
        glTexCoord2f(0.5f, 0.25f);
        glBegin(GL_QUADS);
        LineFree(1, 1, 0, 1, 30, -10, 0, 50, -10, 0, false);
        LineFree(0, 0, 1, 0, 50, 10, 0, 30, 10, 0, false);
        glEnd();
    }));
    ASSERT_EQ(quads.size(), 2u);
    const float x[4] = {10, -10, -10, 10}, y[4] = {-10, -10, 10, 10};
    const float s[4] = {1, 0, 0, 1}, t[4] = {1, 1, 0, 0};
    for (int k = 0; k < 4; ++k) {
        const auto e = test_support::EyeFromWindow(quads[0][k], 800, 600);
        EXPECT_EQ(e.X, x[k]);
        EXPECT_EQ(e.Y, y[k]);
        EXPECT_EQ(quads[0][k].S, s[k]);
        EXPECT_EQ(quads[0][k].T, t[k]);
        // Without texture coordinates every vertex takes the current one.
        EXPECT_EQ(quads[1][k].S, 0.5f);
        EXPECT_EQ(quads[1][k].T, 0.25f);
    }
    const float x2[4] = {30, 50, 50, 30};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(test_support::EyeFromWindow(quads[1][k], 800, 600).X, x2[k]);
}
