// The cloud demo program: the full-screen question, the window, projection, light,
// texture and the three seeded layers, then the frame loop until the window goes.
#include <GL/gl.h>

#include "demo.h"
#include "startup_steps.h"
#include "lumora/render.h"
#include "lumora/textures.h"
#include "lumora/window.h"
#include "platform/win32.h"
#include "zeph_games/clouds.h"

using namespace Lumora;
using namespace Zeph_Games;

namespace CloudsDemo {

TGLFX_Particle Nubi1[LayerSize];
TGLFX_Particle Nubi2[LayerSize];
TGLFX_Particle Nubi3[LayerSize];

int32_t SelTipoNube = CLOUD_NORMAL;
int32_t SelNube = 0;
int32_t Timer = 0;

const char* const QuestionText = "Settare lo schermo intero?  ";
const char* const QuestionCaption = "Video!";
const char* const WindowTitle = "Generazione di nubi - 1/7 selezione tipo di nube - S cambia nube";
const char* const TextureFile = "CloudsParticles4.tga";

void OpenGL_Texture() {
    TextureLoadTGAID(TextureFile, 0);
}

void OpenGL_CreateList() {
    OpenGL_Texture();
    InitClouds(Nubi1, 650, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
    InitClouds(Nubi2, 650, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
    InitClouds(Nubi3, 650, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
}

int RunCloudsDemo() {
    // Only an explicit No gives a window; a box that cannot be shown counts as Yes.
    const int answer = platform::MessageBoxA(0, QuestionText, QuestionCaption,
                                             platform::MB_YESNO | platform::MB_ICONQUESTION);
    FullScreen = answer != platform::IDNO;

    OGLWindowSetting(ARROW, "", GENERIC, "");
    CreateOGLWindow(WindowTitle, WindowWidth, WindowHeight, WindowBits, FullScreen);
    SceneStartup();

    // The test follows the body: the frame in which the window goes is still drawn.
    do {
        glClear(GL_COLOR_BUFFER_BIT);
        SetGLMsg();
        OpenGL_Draw();
        platform::SwapBuffers(DCWindow);
    } while (Active);

    DeleteOGLWindow();
    return 0;
}

} // namespace CloudsDemo
