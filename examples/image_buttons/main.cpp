// Image buttons over a GL window: three "IMAGEBUTTON" children shaped by their pictures
// (a circle, a star, a rounded arrow) over a turning quad. A click reaches the program as
// WM_COMMAND through the GetInputCommand hook; it recolours the quad, prints
// "button N clicked" and puts the count in the title. Escape or the close box ends it.
#include <GL/gl.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <string>
#include <thread>

#include "lumora/image_button.h"
#include "lumora/render.h"
#include "lumora/window.h"
#include "platform/win32.h"

using namespace Lumora;
using namespace platform;

namespace {

const char* const TITLE = "Lumora image buttons";

struct TButton {
    const char* Name; // picture files are Name + "N"/"H"/"P" + ".BMP"
    int32_t X, Y;     // wanted top-left corner in the window's client area
    float R, G, B;    // the colour a click gives the quad
};

// Control ids are 1, 2, 3: the index into this table plus one.
const TButton Buttons[] = {
    {"circle", 24, 24, 0.16f, 0.59f, 0.63f},
    {"star", 24, 116, 0.90f, 0.71f, 0.16f},
    {"arrow", 12, 208, 0.86f, 0.35f, 0.27f},
};
constexpr int32_t ButtonCount = sizeof Buttons / sizeof Buttons[0];

float QuadR = 0.85f, QuadG = 0.85f, QuadB = 0.85f; // the quad's colour; written by OnCommand
int32_t Clicks = 0;                                // clicks so far; written by OnCommand

// Where the build puts the pictures: image_buttons/ beside the program, whatever the
// current folder is.
std::string PictureFolder() {
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "image_buttons/";
    const std::string path(self, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "image_buttons/";
}

LRESULT OnCommand(HWND, UINT, WPARAM WParam, LPARAM) {
    const int32_t id = static_cast<int32_t>(WParam);
    if (id < 1 || id > ButtonCount) return 0;
    const TButton& b = Buttons[id - 1];
    QuadR = b.R;
    QuadG = b.G;
    QuadB = b.B;
    ++Clicks;
    std::printf("button %d clicked\n", id);
    std::fflush(stdout);
    const std::string title = std::string(TITLE) + " - " + b.Name + " clicked (" +
                              std::to_string(Clicks) + (Clicks == 1 ? " click)" : " clicks)");
    SetWindowTextA(HWindow, title.c_str());
    return 0;
}

// The hooks that come with ShowMenuBar; this program has no menus.
void NoMenu() {}

void CreateButtons() {
    const std::string folder = PictureFolder();
    for (int32_t i = 0; i < ButtonCount; ++i) {
        // BMPType at creation picks the pictures. The button moves itself up and left by
        // the frame and caption offsets, so it is made that much lower and further right.
        BMPType = folder + Buttons[i].Name;
        CreateWindowExA(0, SZHOVERCLASS, Buttons[i].Name, WS_CHILD | WS_VISIBLE, Buttons[i].X + 3,
                        Buttons[i].Y + 19, 0, 0, HWindow, static_cast<HMENU>(i + 1),
                        GetModuleHandleA(nullptr), nullptr);
    }
    BMPType.clear();
}

void DrawScene(uint32_t ms) {
    OpenGL_Init(100, 1, 0.10, 0.12, 0.18);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glTranslatef(0.6f, 0, -6);
    glRotatef(ms * 0.05f, 0.3f, 1, 0.2f);
    glBegin(GL_QUADS);
    glColor3f(QuadR, QuadG, QuadB);
    glVertex3f(-1.5f, -1.5f, 0);
    glColor3f(QuadR * 0.5f, QuadG * 0.5f, QuadB * 0.5f);
    glVertex3f(1.5f, -1.5f, 0);
    glColor3f(QuadR, QuadG, QuadB);
    glVertex3f(1.5f, 1.5f, 0);
    glColor3f(1, 1, 1);
    glVertex3f(-1.5f, 1.5f, 0);
    glEnd();
}

} // namespace

int main() {
    OGLWindowSetting(ARROW, "", GENERIC, "");
    ShowMenuBar = true;
    CreateMenuBar = NoMenu;
    CreateMouseMenu = NoMenu;
    GetInputCommand = OnCommand;
    CreateOGLWindow(TITLE, 640, 480, 32, false);
    CreateButtons();

    const uint32_t start = GetTickCount();
    while (Active) {
        // Frames are paced to stay cheap, so each one takes every pending message instead
        // of the usual one; button paints come once the input before them is handled.
        MSG pending{};
        for (int n = 0; n < 64 && PeekMessageA(&pending, 0, 0, 0, PM_NOREMOVE); ++n)
            SetGLMsg();
        DrawScene(GetTickCount() - start);
        SwapBuffers(DCWindow);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    DeleteOGLWindow();
    return 0;
}
