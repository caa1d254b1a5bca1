// Rendered frames of the demo's scene, read back with glReadPixels: sky where nothing is
// drawn, a flat orange ground whatever the view, clouds only where the layer is, and a
// different picture for every cloud type.
#include <algorithm>
#include <array>
#include <set>
#include <utility>

#include "test_frame_fixture.h"

using namespace CloudsDemo;
using frame_test::DemoScene;
using frame_test::Ground;
using frame_test::Sky;
using Lumora::TGLFX_Particle;

namespace {

struct Box {
    int X0 = 800, Y0 = 600, X1 = -1, Y1 = -1; // pixels, from the top-left corner
    bool Contains(int x, int y) const { return x >= X0 && x <= X1 && y >= Y0 && y <= Y1; }
};

// Where a layer's billboards can fall on screen: each is a square of half-side |Size|
// in eye units (turned, so at most |Size| * sqrt 2 from its centre), at Pos moved down 3.
Box LayerBox(const TGLFX_Particle* layer, const std::array<GLfloat, 16>& mv,
             const std::array<GLfloat, 16>& proj) {
    Box b;
    for (int32_t i = 0; i < layer[0].MaxObj; ++i) {
        const auto& p = layer[i].Pos;
        const float y = p.Y - 3.0f;
        const float ex = mv[0] * p.X + mv[4] * y + mv[8] * p.Z + mv[12];
        const float ey = mv[1] * p.X + mv[5] * y + mv[9] * p.Z + mv[13];
        const float ez = mv[2] * p.X + mv[6] * y + mv[10] * p.Z + mv[14];
        const float r = std::fabs(layer[i].Size) * 1.4143f;
        for (float dx : {-r, r})
            for (float dy : {-r, r}) {
                const float w = -ez;
                const float nx = (proj[0] * (ex + dx)) / w, ny = (proj[5] * (ey + dy)) / w;
                const int sx = static_cast<int>((nx + 1) * 400),
                          sy = static_cast<int>((1 - ny) * 300);
                b.X0 = std::min(b.X0, sx - 2);
                b.X1 = std::max(b.X1, sx + 2);
                b.Y0 = std::min(b.Y0, sy - 2);
                b.Y1 = std::max(b.Y1, sy + 2);
            }
    }
    return b;
}

} // namespace

TEST_F(DemoScene, GroundIsFlatOrangeWhateverTheViewAndLight) {
    // Unseeded layers: the frame holds only sky and ground.
    struct View {
        float XRot, YRot, Depth;
        float Light[4];
    };
    const View views[] = {
        {0, 0, 0, {0, 0, 0, 0.1f}},
        {20, 45, 0, {0, 0, 0, 0.1f}},
        {-10, -120, 10, {5, -3, 2, 1}},
        {35, 200, -8, {0, -1, 0, 0}},
    };
    for (const View& v : views) {
        SCOPED_TRACE(testing::Message() << v.XRot << " " << v.YRot << " " << v.Depth);
        Lumora::XRot = v.XRot;
        Lumora::YRot = v.YRot;
        Lumora::Depth = v.Depth;
        glLoadIdentity();
        Lumora::SetGLLight(GL_LIGHT0, v.Light[0], v.Light[1], v.Light[2], v.Light[3]);
        const auto px = Frame();
        int ground = 0, other = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const auto c = Rgb(px, x, y);
                if (c == Ground)
                    ++ground;
                else if (c != Sky)
                    ++other;
            }
        EXPECT_GT(ground, 5000);
        EXPECT_EQ(other, 0);
        EXPECT_EQ(Rgb(px, 0, 0), Sky);
        EXPECT_EQ(Rgb(px, 799, 0), Sky);
    }
}

TEST_F(DemoScene, CloudsShowOnlyWhereTheirLayerIs) {
    LoadSheetAndSeed();
    // The scene without clouds, for comparison.
    TGLFX_Particle* layers[3] = {Nubi1, Nubi2, Nubi3};
    int32_t counts[3];
    for (int l = 0; l < 3; ++l)
        counts[l] = std::exchange(layers[l][0].MaxObj, 0);
    const auto bare = Frame();
    for (int l = 0; l < 3; ++l)
        layers[l][0].MaxObj = counts[l];

    std::set<std::vector<uint8_t>> pictures;
    for (int32_t l = 0; l < 3; ++l) {
        SCOPED_TRACE(l);
        SelNube = l;
        const auto px = Frame();
        pictures.insert(px);
        std::array<GLfloat, 16> mv{}, proj{};
        glGetFloatv(GL_MODELVIEW_MATRIX, mv.data());
        glGetFloatv(GL_PROJECTION_MATRIX, proj.data());
        const Box box = LayerBox(layers[l], mv, proj);
        int inside = 0, outside = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (Rgb(px, x, y) != Rgb(bare, x, y)) ++(box.Contains(x, y) ? inside : outside);
        EXPECT_GT(inside, 10000) << "the layer covers a good part of its area";
        EXPECT_EQ(outside, 0);
        // The sky above the clouds stays clear.
        EXPECT_EQ(Rgb(px, 400, 10), Sky);
        EXPECT_EQ(Rgb(px, 0, 0), Sky);
    }
    EXPECT_EQ(pictures.size(), 3u) << "the three layers differ";
}

TEST_F(DemoScene, EveryCloudTypeGivesADifferentPicture) {
    LoadSheetAndSeed();
    std::set<std::vector<uint8_t>> pictures;
    for (int32_t type = 0; type < 7; ++type) {
        SelTipoNube = type;
        const auto px = Frame();
        EXPECT_EQ(Rgb(px, 0, 0), Sky) << type;
        pictures.insert(px);
    }
    EXPECT_EQ(pictures.size(), 7u);
}
