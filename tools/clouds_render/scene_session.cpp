// Window, start-up and the frame loop of the demo, driven one frame at a time.
#include "scene_session.h"

#include <GL/gl.h>
#include <SDL.h>

#include "demo.h"
#include "lumora/window.h"
#include "platform/hooks.h"
#include "platform/win32.h"
#include "startup_steps.h"

namespace clouds_render {

namespace {

constexpr int MaxDrainFrames = 1000; // a queue that never empties is a fault, not a wait

bool g_sceneOpen = false; // the demo's window exists; written by OpenScene and CloseScene

bool MessagePending() {
    platform::MSG m{};
    return platform::PeekMessageA(&m, 0, 0, 0, platform::PM_NOREMOVE) != 0;
}

} // namespace

std::string OpenScene(int width, int height) {
    using namespace Lumora;
    OGLWindowSetting(ARROW, "", GENERIC, "");
    // A failure here shows the library's message and ends the process inside the call.
    CreateOGLWindow(CloudsDemo::WindowTitle, width, height, CloudsDemo::WindowBits, false);
    g_sceneOpen = true;

    // The picture is read at the size the frame's viewport assumes; make sure it is there.
    int drawW = 0, drawH = 0;
    SDL_Window* w = SDL_GetWindowFromID(platform::hooks::SdlWindowIdOf(HWindow));
    if (!w) return "the window has no drawing surface";
    SDL_GL_GetDrawableSize(w, &drawW, &drawH);
    if (drawW != width || drawH != height)
        return "the window's drawing surface is " + std::to_string(drawW) + "x" +
               std::to_string(drawH) + ", not the " + std::to_string(width) + "x" +
               std::to_string(height) + " asked for";

    CloudsDemo::SceneStartup();
    return "";
}

bool RunFrame(Picture* picture) {
    if (!Lumora::Active) return false;
    glClear(GL_COLOR_BUFFER_BIT);
    Lumora::SetGLMsg();
    CloudsDemo::OpenGL_Draw();
    if (picture) *picture = ReadBackBuffer(Lumora::Width, Lumora::Height);
    platform::SwapBuffers(Lumora::DCWindow);
    return Lumora::Active;
}

std::string DrainMessages() {
    for (int n = 0; n < MaxDrainFrames; ++n) {
        if (!MessagePending()) return "";
        if (!RunFrame()) return "the window closed while its messages were handled";
    }
    return "the window's messages were still not handled after " + std::to_string(MaxDrainFrames) +
           " frames";
}

int SceneWidth() {
    return Lumora::Width;
}
int SceneHeight() {
    return Lumora::Height;
}

void CloseScene() {
    if (!g_sceneOpen) return;
    Lumora::DeleteOGLWindow();
    g_sceneOpen = false;
}

} // namespace clouds_render
