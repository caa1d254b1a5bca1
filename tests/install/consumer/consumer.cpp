// A small program of the installed library: an OpenGL window on SDL's offscreen driver,
// the installed sprite sheet in slot 0, and one frame of a seeded cloud layer over the sky,
// checked pixel by pixel. Exit code 0 only when the clouds are there.
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "lumora/render.h"
#include "lumora/textures.h"
#include "lumora/window.h"
#include "platform/win32.h"
#include "zeph_games/clouds.h"

#ifndef LUMORA_SPRITE_SHEET
#error "LUMORA_SPRITE_SHEET must name the installed CloudsParticles4.tga"
#endif

using namespace Lumora;
using namespace Zeph_Games;

namespace {

constexpr int Side = 96;     // window size in pixels
constexpr int Emitters = 24; // a small layer: about 6 MB of zero-filled storage
constexpr double SkyR = 0.0, SkyG = 0.0, SkyB = 1.0;

TGLFX_Particle Layer[Emitters]; // the one cloud layer; seeded by main

bool g_finished = false; // main reached its end; written by main

// The window layer ends the process with exit code 0 after a fatal message; here that
// must read as a failure.
void ExitFromInsideLibrary() {
    if (g_finished) return;
    std::fputs("consumer: the library ended the program before the frame was checked\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

int Fail(const char* message) {
    std::fprintf(stderr, "consumer: %s\n", message);
    DeleteOGLWindow();
    g_finished = true;
    return 1;
}

} // namespace

int main() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::atexit(ExitFromInsideLibrary);

    OGLWindowSetting(ARROW, "", GENERIC, "");
    CreateOGLWindow("Lumora consumer", Side, Side, 32, false);
    OpenGL_Init(100.0, 0.0, SkyR, SkyG, SkyB);

    TextureLoadTGAID(LUMORA_SPRITE_SHEET, 0);
    if (TextureTGA2[0].TexID == 0) return Fail("the installed sprite sheet did not load");
    InitClouds(Layer, Emitters, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
    if (Layer[0].MaxObj != Emitters) return Fail("the layer was not seeded");

    // The demo's view of its layers: back 30, tilted 25 degrees, layer 3 below the eye.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -30.0f);
    glRotatef(25.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, -3.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    TextureOn();
    TextureTGASelectID(0);
    GenClouds(Layer, CLOUD_NORMAL, 8, 4);
    glFinish();

    std::vector<uint8_t> rgba(static_cast<size_t>(Side) * Side * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, Side, Side, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const auto isSky = [&](int x, int y) {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * Side + x) * 4];
        return p[0] == 0 && p[1] == 0 && p[2] == 255;
    };
    int cloudPixels = 0;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            if (!isSky(x, y)) ++cloudPixels;

    platform::SwapBuffers(DCWindow);
    if (!isSky(0, 0) || !isSky(Side - 1, Side - 1))
        return Fail("the corners do not show the clear colour");
    // Two dozen billboards near the middle of the view cover a good part of it.
    if (!(!isSky(Side / 2, Side / 2) && cloudPixels >= Side * Side / 20))
        return Fail("no clouds in the middle of the picture");

    std::printf("consumer: %d of %d pixels show clouds, corners show the sky\n", cloudPixels,
                Side * Side);
    DeleteOGLWindow();
    g_finished = true;
    return 0;
}
