// Window, start-up and the frame loop of the demo, driven one frame at a time.
#include "offscreen_scene.h"

#include <unistd.h>

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "demo.h"
#include "lumora/window.h"
#include "platform/hooks.h"
#include "platform/win32.h"
#include "startup_steps.h"

namespace fs = std::filesystem;

namespace offscreen {

namespace {

constexpr int MaxDrainFrames = 1000; // a queue that never empties is a fault, not a wait

const char* g_tool = "offscreen"; // the program's name in its messages; set by Prepare
const char* g_whyFailed = "";     // what an early end by the library means; set by Prepare
bool g_libraryRunning = false;    // between Prepare and CloseScene; ends of the process
                                  // in there come from the library's fatal messages
bool g_sceneOpen = false;         // the demo's window exists; OpenScene and CloseScene

// The window layer ends the process with exit code 0 after its fatal messages; for a tool
// that is a failure, and scripts must see it as one.
void ExitFromInsideLibrary() {
    if (!g_libraryRunning) return;
    std::fprintf(stderr, "%s: %s\n", g_tool, g_whyFailed);
    std::fflush(stderr);
    std::_Exit(1);
}

int AnswerMessageBox(const platform::hooks::MessageBoxCall& box) {
    std::fprintf(stderr, "%s: message box \"%s\": %s\n", g_tool,
                 platform::hooks::Cp1252ToUtf8(box.caption).c_str(),
                 platform::hooks::Cp1252ToUtf8(box.text).c_str());
    std::fflush(stderr);
    return (box.type & 0x0F) == platform::MB_YESNO ? platform::IDYES : platform::IDOK;
}

// The demo reads its texture from the current folder; the build puts it beside the programs.
void FindTexture(const char* argv0) {
    const fs::path texture = CloudsDemo::TextureFile;
    std::error_code ec;
    if (fs::exists(texture, ec)) return;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) exe = fs::absolute(argv0, ec);
    // Beside the program in a build; in share/lumora next to bin/ once installed.
    const fs::path dir = exe.parent_path();
    for (const fs::path& place : {dir, dir / ".." / "share" / "lumora"})
        if (!dir.empty() && fs::exists(place / texture, ec) && chdir(place.c_str()) == 0) return;
    std::fprintf(stderr,
                 "%s: %s not found here or beside the program; the clouds are drawn untextured\n",
                 g_tool, CloudsDemo::TextureFile);
}

bool MessagePending() {
    platform::MSG m{};
    return platform::PeekMessageA(&m, 0, 0, 0, platform::PM_NOREMOVE) != 0;
}

} // namespace

void Prepare(const char* toolName, const char* whyFailed, const char* argv0) {
    g_tool = toolName;
    g_whyFailed = whyFailed;
    FindTexture(argv0);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    platform::hooks::SetMessageBoxResponder(AnswerMessageBox);
    std::atexit(ExitFromInsideLibrary);
    g_libraryRunning = true;
}

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

bool RunFrame(const std::function<void()>& beforeSwap) {
    if (!Lumora::Active) return false;
    glClear(GL_COLOR_BUFFER_BIT);
    Lumora::SetGLMsg();
    CloudsDemo::OpenGL_Draw();
    if (beforeSwap) beforeSwap();
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

std::string StillHeldInput() {
    std::string held;
    for (size_t vk = 0; vk < std::size(Lumora::SetKey); ++vk)
        if (Lumora::SetKey[vk] != 0) {
            held += "key " + std::to_string(vk) + " is still down; ";
            break;
        }
    if (Lumora::LeftMouseDown || Lumora::RightMouseDown) held += "a mouse button is still down; ";
    return held;
}

int SceneWidth() {
    return Lumora::Width;
}
int SceneHeight() {
    return Lumora::Height;
}

void CloseScene() {
    if (g_sceneOpen) Lumora::DeleteOGLWindow();
    g_sceneOpen = false;
    g_libraryRunning = false;
}

} // namespace offscreen
