// Frame time of the demo's scene, one layer and all three, against the same billboards
// drawn from one vertex array in the same run (800 x 600, offscreen). Reports the ratio.
#include <unistd.h>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "demo.h"
#include "gl_test_window.h"
#include "lumora/render.h"
#include "lumora/window.h"
#include "zeph_games/clouds.h"

using namespace CloudsDemo;
using namespace Lumora;

namespace {

// One vertex of the reference arrays: eye-space position, normal, texture coordinate.
struct RefVertex {
    float X, Y, Z;
    float NX, NY, NZ;
    float S, T;
};

// Billboards of the selected layers in eye space, for the view the frame leaves.
std::vector<RefVertex> BuildReference(int32_t selNube) {
    std::vector<RefVertex> out;
    GLfloat cam[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, cam);
    TGLFX_Particle* layers[3] = {Nubi1, Nubi2, Nubi3};
    for (int l = 0; l < 3; ++l) {
        if (selNube != 3 && selNube != l) continue;
        const TGLFX_Particle* layer = layers[l];
        for (int32_t i = 0; i < layer[0].MaxObj; ++i) {
            const auto& e = layer[i];
            const float px = e.Pos.X, py = e.Pos.Y - 3.0f, pz = e.Pos.Z;
            const float cx = cam[0] * px + cam[4] * py + cam[8] * pz + cam[12];
            const float cy = cam[1] * px + cam[5] * py + cam[9] * pz + cam[13];
            const float cz = cam[2] * px + cam[6] * py + cam[10] * pz + cam[14];
            const double a = e.Ang * std::numbers::pi / 180.0;
            const auto co = static_cast<float>(std::cos(a)), si = static_cast<float>(std::sin(a));
            const float s0 = i / 8.0f, s1 = (i + 1) / 8.0f;
            const float t0 = 1.0f - (i + 1) / 4.0f, t1 = 1.0f - i / 4.0f;
            const float corner[4][4] = {{-e.Size, -e.Size, s0, t0},
                                        {e.Size, -e.Size, s1, t0},
                                        {e.Size, e.Size, s1, t1},
                                        {-e.Size, e.Size, s0, t1}};
            for (const auto& k : corner)
                out.push_back({cx + co * k[0] - si * k[1], cy + si * k[0] + co * k[1], cz, -si, co,
                               0.0f, k[2], k[3]});
        }
    }
    return out;
}

// The frame with its clouds from one array: the demo's frame with empty layers, then
// the billboards under the state GenClouds sets.
void ReferenceFrame(const std::vector<RefVertex>& v) {
    int32_t counts[3] = {Nubi1[0].MaxObj, Nubi2[0].MaxObj, Nubi3[0].MaxObj};
    Nubi1[0].MaxObj = Nubi2[0].MaxObj = Nubi3[0].MaxObj = 0;
    glClear(GL_COLOR_BUFFER_BIT);
    OpenGL_Draw();
    Nubi1[0].MaxObj = counts[0];
    Nubi2[0].MaxObj = counts[1];
    Nubi3[0].MaxObj = counts[2];

    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_ALPHA_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(RefVertex), &v[0].X);
    glNormalPointer(GL_FLOAT, sizeof(RefVertex), &v[0].NX);
    glTexCoordPointer(2, GL_FLOAT, sizeof(RefVertex), &v[0].S);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(v.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Each iteration draws one demo frame and one reference frame, timed apart and in turns
// of order, so both sides see the same load on a shared machine; the ratio reported is
// the median of the per-iteration ratios, which a burst of load elsewhere does not move.
void BM_FramePair(benchmark::State& state) {
    SelNube = static_cast<int32_t>(state.range(0));
    OpenGL_Draw(); // leaves the camera the reference is built for
    const auto v = BuildReference(SelNube);
    auto demoFrame = [] {
        const auto t0 = std::chrono::steady_clock::now();
        glClear(GL_COLOR_BUFFER_BIT);
        OpenGL_Draw();
        glFinish();
        return Seconds(std::chrono::steady_clock::now() - t0);
    };
    auto arrayFrame = [&v] {
        const auto t0 = std::chrono::steady_clock::now();
        ReferenceFrame(v);
        glFinish();
        return Seconds(std::chrono::steady_clock::now() - t0);
    };
    // The first frames of a new scene compile llvmpipe's shaders; keep them out.
    demoFrame();
    arrayFrame();
    double demo = 0, array = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        double d, a;
        if (ratios.size() % 2 == 0) {
            d = demoFrame();
            a = arrayFrame();
        } else {
            a = arrayFrame();
            d = demoFrame();
        }
        demo += d;
        array += a;
        ratios.push_back(d / a);
    }
    std::sort(ratios.begin(), ratios.end());
    const double median = ratios[ratios.size() / 2];
    const auto n = static_cast<double>(state.iterations());
    state.counters["billboards"] = static_cast<double>(v.size() / 4);
    state.counters["demo_ms"] = demo / n * 1e3;
    state.counters["array_ms"] = array / n * 1e3;
    state.counters["ratio"] = median;
    // Google Benchmark's first short run only sizes the real one.
    if (ratios.size() < 3) return;
    std::printf("%s, %zu frame pairs: demo frame / vertex-array frame = %.3f (median; target "
                "<= 1.10)%s\n",
                SelNube == 3 ? "three layers" : "one layer", ratios.size(), median,
                median <= 1.10 ? "" : "  ** over target **");
}

BENCHMARK(BM_FramePair)->Arg(0)->Arg(3)->UseRealTime()->MinTime(8.0)->Unit(benchmark::kMillisecond);

// Largest channel difference between the demo's frame and the reference frame: the two
// must draw the same picture for the ratio to mean anything.
int PictureDifference(test_support::GlTestWindow& window, int32_t selNube) {
    SelNube = selNube;
    glClear(GL_COLOR_BUFFER_BIT);
    OpenGL_Draw();
    const auto demo = window.ReadPixels();
    const auto v = BuildReference(selNube);
    ReferenceFrame(v);
    const auto ref = window.ReadPixels();
    int worst = 0;
    for (size_t i = 0; i < demo.size(); ++i)
        worst = std::max(worst, std::abs(int(demo[i]) - int(ref[i])));
    return worst;
}

// The demo's sprite sheet sits beside the programs; without it the clouds draw untextured.
void LoadDemoScene() {
    char exe[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    const auto back = std::filesystem::current_path();
    if (n > 0) std::filesystem::current_path(std::filesystem::path(exe).parent_path());
    if (!std::filesystem::exists(TextureFile))
        std::printf("note: %s not found beside the program; clouds are untextured\n", TextureFile);
    OpenGL_CreateList();
    std::filesystem::current_path(back);
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    test_support::GlTestWindow window(WindowWidth, WindowHeight);
    Width = WindowWidth;
    Height = WindowHeight;
    OpenGL_Init(SceneDepth, SkyA, SkyR, SkyG, SkyB);
    SetGLRefractive();
    SetGLLight(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
    LoadDemoScene();

    for (int32_t sel : {0, 3})
        std::printf("picture difference, demo against reference, %s: %d of 255\n",
                    sel == 3 ? "three layers" : "one layer", PictureDifference(window, sel));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
