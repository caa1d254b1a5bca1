// The frame on a real GL context: the state and matrices it leaves, the ground square
// sent by Quad, and the billboards of the chosen layers (captured in feedback mode).
#include <array>

#include "gl_feedback.h"
#include "gl_state.h"
#include "test_frame_fixture.h"
#include "zeph_games/clouds.h"

using namespace CloudsDemo;
using frame_test::DemoScene;

namespace {

using test_support::Floats4;
using test_support::Int;
using test_support::Mat;
using test_support::Matrix;

void ExpectMatrixNear(const Mat& a, const Mat& b) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-4f) << "element " << i;
}

// The camera the frame should end with, built by GL from the same steps.
Mat Camera(float xRot, float yRot, float depth) {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0, 0, -30);
    glRotatef(25, 1, 0, 0);
    glTranslatef(0, 0, -depth);
    glRotatef(xRot, 1, 0, 0);
    glRotatef(yRot, 0, 1, 0);
    const Mat m = Matrix(GL_MODELVIEW_MATRIX);
    glPopMatrix();
    return m;
}

} // namespace

TEST_F(DemoScene, FrameEndsWithTheCameraAndTheLightAbove) {
    struct View {
        float XRot, YRot, Depth;
    };
    for (const View v : {View{0, 0, 0}, View{30, -40, 5}}) {
        SCOPED_TRACE(testing::Message() << v.XRot << " " << v.YRot << " " << v.Depth);
        Lumora::XRot = v.XRot;
        Lumora::YRot = v.YRot;
        Lumora::Depth = v.Depth;
        glDisable(GL_CULL_FACE);
        OpenGL_Draw();

        const Mat cam = Camera(v.XRot, v.YRot, v.Depth);
        ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), cam);
        EXPECT_EQ(Int(GL_MODELVIEW_STACK_DEPTH), 1);
        EXPECT_EQ(Int(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_EQ(Lumora::MSpeed, 2);
        // Light 0 at (0, 10, 0, 0.1) in the camera's coordinates: (0, 100, 0) in the scene.
        std::array<GLfloat, 4> p{};
        glGetLightfv(GL_LIGHT0, GL_POSITION, p.data());
        ASSERT_NE(p[3], 0.0f);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(p[i] / p[3], cam[4 + i] * 100.0f + cam[12 + i], 1e-2f) << "axis " << i;

        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "Quad switches culling back on";
        EXPECT_EQ(Int(GL_LIGHT_MODEL_TWO_SIDE), 0);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(Int(GL_DEPTH_WRITEMASK), GL_TRUE);
        EXPECT_EQ(Floats4(GL_CURRENT_COLOR), (std::array<GLfloat, 4>{1, 1, 1, 1}));
        EXPECT_EQ(Floats4(GL_CURRENT_NORMAL)[1], 1.0f) << "the ground's normal stays current";
        EXPECT_EQ(Floats4(GL_COLOR_CLEAR_VALUE),
                  (std::array<GLfloat, 4>{0.46484375f, 0.73046875f, 0.99609375f, 0.0f}));
        GLfloat clearDepth = 0;
        glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
        EXPECT_EQ(clearDepth, 1.0f);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(DemoScene, TypeKeyShowsInTheSameFrame) {
    // Blending factors of the type the clouds were drawn with, left after the frame.
    OpenGL_Draw();
    EXPECT_EQ(Int(GL_BLEND_SRC), GL_ONE) << "CLOUD_NORMAL before any key";
    EXPECT_EQ(Int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    Lumora::SetKey['3'] = -1;
    OpenGL_Draw();
    EXPECT_EQ(SelTipoNube, Zeph_Games::CLOUD_TINY_DARK);
    EXPECT_EQ(Int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(DemoScene, QuadSendsTheOutlineP2P1P3P4WithItsNormal) {
    struct QuadCase {
        const char* Name;
        float P[12];
        float N[3];
        float TurnX; // degrees about x that bring the quad's plane to face the viewer
    };
    const QuadCase cases[] = {
        {"the demo's ground", {-10, 0, -10, 10, 0, -10, -10, 0, 10, 10, 0, 10}, {0, 1, 0}, 90},
        {"upright in z = 0", {0, 0, 0, 8, 0, 0, 0, 6, 0, 8, 6, 0}, {0, 0, -1}, 0},
    };
    for (const QuadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test_support::SetPixelEyeProjection(800, 600);
        glTranslatef(0, 0, -50);
        glRotatef(c.TurnX, 1, 0, 0);
        glScalef(10, 10, 10);
        Lumora::TwoSideOff();
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT); // whichever way the quad faces, it must come through
        const auto quads = test_support::QuadsFromFeedback(test_support::CaptureFeedback([&] {
            Quad(c.P[0], c.P[1], c.P[2], c.P[3], c.P[4], c.P[5], c.P[6], c.P[7], c.P[8], c.P[9],
                 c.P[10], c.P[11]);
        }));
        ASSERT_EQ(quads.size(), 1u);
        const Mat mv = Matrix(GL_MODELVIEW_MATRIX);
        const int order[4] = {1, 0, 2, 3}; // P2, P1, P3, P4
        const float s[4] = {1, 0, 0, 1}, t[4] = {1, 1, 0, 0};
        for (int k = 0; k < 4; ++k) {
            const float* p = &c.P[3 * order[k]];
            const auto e = test_support::EyeFromWindow(quads[0][k], 800, 600);
            EXPECT_NEAR(e.X, mv[0] * p[0] + mv[4] * p[1] + mv[8] * p[2] + mv[12], 1e-3f) << k;
            EXPECT_NEAR(e.Y, mv[1] * p[0] + mv[5] * p[1] + mv[9] * p[2] + mv[13], 1e-3f) << k;
            EXPECT_EQ(quads[0][k].S, s[k]) << k;
            EXPECT_EQ(quads[0][k].T, t[k]) << k;
        }
        const auto n = Floats4(GL_CURRENT_NORMAL);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(n[i], c.N[i], 1e-6f) << "normal axis " << i;
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_EQ(Int(GL_LIGHT_MODEL_TWO_SIDE), 0);
    }
}

TEST_F(DemoScene, LayersAreDrawnWholeInOrderOneBillboardPerSeededEmitter) {
    LoadSheetAndSeed();
    // Zoomed out, as a right drag does, so that no billboard reaches the window's edge and
    // each comes back whole, as two triangles.
    Lumora::Depth = 30.0f;
    std::vector<test_support::FeedbackPrimitive> byLayer[4];
    for (int32_t layer = 0; layer < 4; ++layer) {
        SelNube = layer;
        byLayer[layer] = test_support::CaptureFeedback([] { OpenGL_Draw(); });
    }
    // The ground first, then every billboard whole: nothing is clipped away or split.
    for (int32_t layer = 0; layer < 3; ++layer) {
        SCOPED_TRACE(layer);
        ASSERT_GE(byLayer[layer].size(), 2u);
        std::vector<test_support::FeedbackPrimitive> clouds(byLayer[layer].begin() + 2,
                                                            byLayer[layer].end());
        EXPECT_EQ(test_support::QuadsFromFeedback(clouds).size(), 650u);
    }
    const auto& all = byLayer[3];
    ASSERT_EQ(all.size(), 2u + 2u * 1950u);
    // Nubi1, then Nubi2, then Nubi3, each exactly as when drawn alone.
    size_t at = 2;
    for (int32_t layer = 0; layer < 3; ++layer)
        for (size_t i = 2; i < byLayer[layer].size(); ++i, ++at) {
            const auto& a = all[at].Vertices;
            const auto& b = byLayer[layer][i].Vertices;
            ASSERT_EQ(a.size(), b.size());
            for (size_t v = 0; v < a.size(); ++v) {
                ASSERT_EQ(a[v].X, b[v].X) << "layer " << layer << " primitive " << i;
                ASSERT_EQ(a[v].Y, b[v].Y) << "layer " << layer << " primitive " << i;
                ASSERT_EQ(a[v].S, b[v].S) << "layer " << layer << " primitive " << i;
            }
        }
}
