// Lights and face state on a real GL context: light colours and eye-space positions read
// back with glGetLightfv, the optional marker point, two-sided lighting and culling.
#include <array>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_feedback.h"
#include "gl_state.h"
#include "gl_test_window.h"
#include "lumora/render.h"
#include "lumora/window.h"

using namespace Lumora;

namespace {

using test_support::Int;

using Vec4 = std::array<GLfloat, 4>;

Vec4 Light(GLenum light, GLenum what) {
    Vec4 v{};
    glGetLightfv(light, what, v.data());
    return v;
}

void ExpectNear(const Vec4& a, const Vec4& b) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-4f) << "component " << i;
}

class Lights : public testing::Test {
  protected:
    void SetUp() override {
        Width = 800;
        Height = 600;
        OpenGL_Init(100.0, 0.0, 0.46484375, 0.73046875, 0.99609375);
    }
    test_support::GlTestWindow win{800, 600};
};

} // namespace

TEST_F(Lights, SetGLLightSwitchesOnAPointLightAtTheEyeWithTheLibraryColours) {
    SetGLLight(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(Light(GL_LIGHT0, GL_AMBIENT), (Vec4{0.5f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(Light(GL_LIGHT0, GL_DIFFUSE), (Vec4{1, 1, 1, 1}));
    EXPECT_EQ(Light(GL_LIGHT0, GL_SPECULAR), (Vec4{1, 1, 1, 1}));
    EXPECT_EQ(Light(GL_LIGHT0, GL_POSITION), (Vec4{0, 0, 0, 0.1f}));
    EXPECT_EQ((Vec4{LightPosition[0], LightPosition[1], LightPosition[2], LightPosition[3]}),
              (Vec4{0, 0, 0, 0.1f}));
}

TEST_F(Lights, ColourSettingsChangedByTheProgramApplyToTheNextLight) {
    SetGLLight(GL_LIGHT0, 0, 0, 1, 0);
    AmbientLight[0] = 0.25f;
    DiffuseLight[2] = 0.0f;
    SpecularLight[1] = 0.75f;
    SetGLLight(GL_LIGHT1, 0, 1, 0, 0);
    EXPECT_EQ(Light(GL_LIGHT1, GL_AMBIENT), (Vec4{0.25f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(Light(GL_LIGHT1, GL_DIFFUSE), (Vec4{1, 1, 0, 1}));
    EXPECT_EQ(Light(GL_LIGHT1, GL_SPECULAR), (Vec4{1, 0.75f, 1, 1}));
    // The first light keeps its colours and stays on.
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(Light(GL_LIGHT0, GL_AMBIENT), (Vec4{0.5f, 0.5f, 0.5f, 1.0f}));
}

TEST_F(Lights, PositionsAreTakenInTheCoordinatesInForce) {
    // The frame's view: the light at (0, 10, 0, 0.1) is a point light at (0, 100, 0).
    glTranslatef(0, 0, -30);
    glRotatef(25, 1, 0, 0);
    SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
    PutGLPointLight(GL_LIGHT0, 0, 0, 10, 0, 0.1f);
    const Vec4 p = Light(GL_LIGHT0, GL_POSITION);
    ASSERT_NE(p[3], 0.0f);
    // (0, 100, 0) turned 25 degrees about x, then pushed 30 back.
    EXPECT_NEAR(p[0] / p[3], 0.0f, 1e-3f);
    EXPECT_NEAR(p[1] / p[3], 100.0f * 0.906307787f, 1e-2f);
    EXPECT_NEAR(p[2] / p[3], 100.0f * 0.422618262f - 30.0f, 1e-2f);
}

TEST_F(Lights, PointLightWithoutSizeDrawsNothing) {
    glPointSize(3.0f);
    SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
    const auto prims = test_support::CaptureFeedback(
        [] { PutGLPointLight(GL_LIGHT0, 0.0f, 0.0f, 10.0f, 0.0f, 0.1f); });
    EXPECT_TRUE(prims.empty());
    EXPECT_EQ(Light(GL_LIGHT0, GL_POSITION), (Vec4{0, 10, 0, 0.1f}));
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 3.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0)) << "colours and switch are left alone";
    EXPECT_EQ(Light(GL_LIGHT0, GL_AMBIENT), (Vec4{0.5f, 0.5f, 0.5f, 1.0f}));
}

TEST_F(Lights, PointLightWithSizeMarksTheGivenCoordinates) {
    test_support::SetPixelEyeProjection(800, 600);
    glDisable(GL_LIGHTING);
    for (float w : {1.0f, 0.1f}) {
        SCOPED_TRACE(w);
        const auto prims = test_support::CaptureFeedback(
            [&] { PutGLPointLight(GL_LIGHT2, 5.0f, 10.0f, 20.0f, 30.0f, w); });
        ASSERT_EQ(prims.size(), 1u);
        EXPECT_EQ(static_cast<GLenum>(prims[0].Token), static_cast<GLenum>(GL_POINT_TOKEN));
        // The marker sits at (x, y, z) whatever w makes of the light.
        const auto e = test_support::EyeFromWindow(prims[0].Vertices[0], 800, 600);
        EXPECT_NEAR(e.X, 10.0f, 1e-3f);
        EXPECT_NEAR(e.Y, 20.0f, 1e-3f);
        EXPECT_NEAR(e.Z, 30.0f, 1e-3f);
        ExpectNear(Light(GL_LIGHT2, GL_POSITION), Vec4{10, 20, 30, w});
    }
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 5.0f);
    Vec4 normal{};
    glGetFloatv(GL_CURRENT_NORMAL, normal.data());
    EXPECT_EQ(normal[2], 1.0f);
}

TEST_F(Lights, LightPositionHoldsTheLastPositionForWhicheverLight) {
    SetGLLight(GL_LIGHT0, 1, 2, 3, 1);
    PutGLPointLight(GL_LIGHT1, 0, 4, 5, 6, 0);
    EXPECT_EQ((Vec4{LightPosition[0], LightPosition[1], LightPosition[2], LightPosition[3]}),
              (Vec4{4, 5, 6, 0}));
    EXPECT_EQ(Light(GL_LIGHT0, GL_POSITION), (Vec4{1, 2, 3, 1}));
}

TEST_F(Lights, TwoSidedLightingAndCulling) {
    TwoSideOn();
    EXPECT_EQ(Int(GL_LIGHT_MODEL_TWO_SIDE), 1);
    TwoSideOff();
    EXPECT_EQ(Int(GL_LIGHT_MODEL_TWO_SIDE), 0);

    glCullFace(GL_FRONT);
    glFrontFace(GL_CW);
    SetGLRefractive();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Int(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(Int(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Int(GL_SHADE_MODEL), GL_SMOOTH);
}
