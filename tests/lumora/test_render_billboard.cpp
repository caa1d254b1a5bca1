// Billboards and sprite-sheet cells on a real GL context: the matrix the bracket leaves,
// the square FindCharacter sends (read back in feedback mode), and the stack balance.
#include <array>
#include <cmath>
#include <cstdint>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_feedback.h"
#include "gl_state.h"
#include "gl_test_window.h"
#include "lumora/render.h"
#include "lumora/window.h"

using namespace Lumora;
using test_support::CaptureFeedback;
using test_support::EyeFromWindow;
using test_support::QuadsFromFeedback;

namespace {

using test_support::Mat;
using test_support::ModelView;

GLint StackDepth() {
    GLint d = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d);
    return d;
}

// M x (x, y, z, 1), column-major.
std::array<float, 3> Apply(const Mat& m, float x, float y, float z) {
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

void ExpectMatrixNear(const Mat& a, const Mat& b, float tol) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], tol) << "element " << i;
}

struct View {
    const char* Name;
    float Angle, AX, AY, AZ; // rotation of the caller's matrix
    float Scale;             // uniform scale on top of it
};

const View Views[] = {
    {"identity", 0, 0, 0, 1, 1},
    {"turned about y", 60, 0, 1, 0, 1},
    {"tilted about x", -35, 1, 0, 0, 1},
    {"oblique", 123, 1, 2, -0.5f, 1},
    {"oblique and scaled", 77, -1, 1, 1, 3},
};

class Billboard : public testing::Test {
  protected:
    void SetUp() override {
        Width = 800;
        Height = 600;
        test_support::SetPixelEyeProjection(800, 600);
    }
    // The caller's matrix M of a view, on top of a push back from the eye.
    static void LoadView(const View& v) {
        glLoadIdentity();
        glTranslatef(10.0f, -20.0f, -40.0f);
        glRotatef(v.Angle, v.AX, v.AY, v.AZ);
        glScalef(v.Scale, v.Scale, v.Scale);
    }
    test_support::GlTestWindow win{800, 600};
};

} // namespace

TEST_F(Billboard, BeginDropsRotationAndScaleAndKeepsTheTranslatedPosition) {
    for (bool scaled : {true, false}) {
        LockViewModelScale = scaled;
        for (const View& v : Views) {
            SCOPED_TRACE(testing::Message() << v.Name << (scaled ? ", scaled" : ""));
            LoadView(v);
            const Mat m = ModelView();
            const GLint depth = StackDepth();
            const auto p = Apply(m, 3.0f, -2.0f, 5.0f);

            LockViewModelBegin(3.0f, -2.0f, 5.0f);
            const Mat inside = ModelView();
            EXPECT_EQ(StackDepth(), depth + 2);
            const float s = scaled ? 0.1f : 1.0f;
            Mat expected = {s, 0, 0, m[3], 0, s, 0, m[7], 0, 0, s, m[11], p[0], p[1], p[2], m[15]};
            ExpectMatrixNear(inside, expected, 1e-4f);

            LockViewModelEnd();
            EXPECT_EQ(StackDepth(), depth);
            EXPECT_EQ(ModelView(), m);
        }
    }
}

TEST_F(Billboard, ScaleOffClearsTheFlagForGood) {
    EXPECT_TRUE(LockViewModelScale);
    LockViewModelScaleOff();
    EXPECT_FALSE(LockViewModelScale);
    LockViewModelScaleOff();
    EXPECT_FALSE(LockViewModelScale);
}

TEST_F(Billboard, SquareFacesTheViewerUnderAnyView) {
    LockViewModelScaleOff();
    for (const View& v : Views) {
        SCOPED_TRACE(v.Name);
        LoadView(v);
        const auto c = Apply(ModelView(), 3.0f, -2.0f, 5.0f);
        const GLint depth = StackDepth();
        const auto prims = CaptureFeedback([] {
            LockViewModelBegin(3.0f, -2.0f, 5.0f);
            FindCharacter(0, 0, 0, 0, 10, 10, 8, 4);
            LockViewModelEnd();
        });
        EXPECT_EQ(StackDepth(), depth);
        const auto quads = QuadsFromFeedback(prims);
        ASSERT_EQ(quads.size(), 1u);
        // Eye units, whatever scale the view holds: half-side 10 around the eye position.
        const float dx[4] = {-10, 10, 10, -10}, dy[4] = {-10, -10, 10, 10};
        for (int k = 0; k < 4; ++k) {
            const auto e = EyeFromWindow(quads[0][k], 800, 600);
            EXPECT_NEAR(e.X, c[0] + dx[k], 1e-3f) << "vertex " << k;
            EXPECT_NEAR(e.Y, c[1] + dy[k], 1e-3f) << "vertex " << k;
            EXPECT_NEAR(e.Z, c[2], 1e-3f) << "vertex " << k;
        }
    }
}

TEST_F(Billboard, ScaleFlagShrinksTheSquareToATenth) {
    glTranslatef(0, 0, -10);
    const auto quads = QuadsFromFeedback(CaptureFeedback([] {
        LockViewModelBegin(0, 0, 0);
        FindCharacter(0, 0, 0, 0, 10, 10, 8, 4);
        LockViewModelEnd();
    }));
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(EyeFromWindow(quads[0][2], 800, 600).X, 1.0f, 1e-4f);
    EXPECT_NEAR(EyeFromWindow(quads[0][2], 800, 600).Y, 1.0f, 1e-4f);
}

namespace {

struct CellCase {
    float X, Y, PX, PY, SX, SY;
    int32_t Rows, Columns;
    float S0, S1, T0, T1; // texture rectangle shown
};

const CellCase CellCases[] = {
    {0, 0, 0, 0, 1, 1, 8, 4, 0.0f, 0.125f, 0.75f, 1.0f},
    {0, 0, 9, 9, 1, 1, 8, 4, 1.125f, 1.25f, -1.5f, -1.25f},
    {2, 3, 0, 0, 1, 1, 8, 4, 0.0f, 0.125f, 0.75f, 1.0f},
    {0, 0, 5, 1, 2, 0.5f, 8, 4, 0.625f, 0.75f, 0.5f, 0.75f},
    {-4, 1, 1, 2, 3, 3, 2, 5, 0.5f, 1.0f, 0.4f, 0.6f},
};

} // namespace

TEST_F(Billboard, FindCharacterSendsTheCellAsACounterClockwiseSquare) {
    glEnable(GL_CULL_FACE); // back faces would vanish from the feedback
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    for (const CellCase& c : CellCases) {
        SCOPED_TRACE(testing::Message()
                     << "cell " << c.PX << "," << c.PY << " at " << c.X << "," << c.Y);
        const Mat before = ModelView();
        const auto quads = QuadsFromFeedback(CaptureFeedback(
            [&] { FindCharacter(c.X, c.Y, c.PX, c.PY, c.SX, c.SY, c.Rows, c.Columns); }));
        EXPECT_EQ(ModelView(), before);
        ASSERT_EQ(quads.size(), 1u);
        const float px[4] = {-c.SX, c.SX, c.SX, -c.SX}, py[4] = {-c.SY, -c.SY, c.SY, c.SY};
        const float s[4] = {c.S0, c.S1, c.S1, c.S0}, t[4] = {c.T0, c.T0, c.T1, c.T1};
        for (int k = 0; k < 4; ++k) {
            const auto e = EyeFromWindow(quads[0][k], 800, 600);
            EXPECT_NEAR(e.X, c.X + px[k], 1e-4f) << "vertex " << k;
            EXPECT_NEAR(e.Y, c.Y + py[k], 1e-4f) << "vertex " << k;
            EXPECT_NEAR(e.Z, 0.0f, 1e-4f) << "vertex " << k;
            EXPECT_FLOAT_EQ(quads[0][k].S, s[k]) << "vertex " << k;
            EXPECT_FLOAT_EQ(quads[0][k].T, t[k]) << "vertex " << k;
        }
    }
}

TEST_F(Billboard, NegativeSizeIsTheSameSquareTurnedByHalfATurn) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    const auto plus =
        QuadsFromFeedback(CaptureFeedback([] { FindCharacter(0, 0, 3, 2, 4, 2, 8, 4); }));
    const auto minus =
        QuadsFromFeedback(CaptureFeedback([] { FindCharacter(0, 0, 3, 2, -4, -2, 8, 4); }));
    ASSERT_EQ(plus.size(), 1u);
    ASSERT_EQ(minus.size(), 1u) << "a turned square is still front-facing";
    for (int k = 0; k < 4; ++k) {
        const auto p = EyeFromWindow(plus[0][k], 800, 600);
        const auto m = EyeFromWindow(minus[0][k], 800, 600);
        EXPECT_NEAR(m.X, -p.X, 1e-4f);
        EXPECT_NEAR(m.Y, -p.Y, 1e-4f);
        EXPECT_EQ(minus[0][k].S, plus[0][k].S);
        EXPECT_EQ(minus[0][k].T, plus[0][k].T);
    }
}

TEST_F(Billboard, GridWithoutRowsOrColumnsDrawsNothing) {
    struct Grid {
        int32_t Rows, Columns;
        size_t Quads;
    };
    for (const Grid g : {Grid{0, 4, 0}, Grid{8, 0, 0}, Grid{0, 0, 0}, Grid{-8, 4, 1}}) {
        SCOPED_TRACE(testing::Message() << g.Rows << " x " << g.Columns);
        const Mat before = ModelView();
        const GLint depth = StackDepth();
        const auto prims =
            CaptureFeedback([&] { FindCharacter(0, 0, 1, 1, 5, 5, g.Rows, g.Columns); });
        EXPECT_EQ(test_support::PolygonCount(prims), 2 * g.Quads);
        EXPECT_EQ(ModelView(), before);
        EXPECT_EQ(StackDepth(), depth);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}
