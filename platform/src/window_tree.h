// The window tree shared by the platform's concerns: top-level windows backed by SDL
// windows, child windows that are rectangles of their parent's client area with their own
// 32-bit surface, and the per-window state that messages, painting and GL need.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backend_sdl.h"
#include "gdi_internal.h"
#include "platform/win_types.h"

namespace platform {

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = 0;
    HICON icon = 0;
    HCURSOR cursor = 0;
    HBRUSH background = 0;
    HICON smallIcon = 0;
    std::string menuName;
};

struct Window {
    HWND handle = 0;
    std::string className;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string title; // Windows-1252, as given
    HWND parent = 0;
    std::vector<HWND> children; // creation order; later ones lie on top
    int id = 0;                 // control id of a child
    // Top-level: outer rectangle on the screen. Child: rectangle in the parent's client area.
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    bool destroying = false;
    std::map<std::string, HANDLE> props;
    HRGN region = 0; // owned window region, window coordinates
    bool needsPaint = false;
    bool needsErase = false;
    // Children only: what the window painted, shown over the GL frame by SwapBuffers.
    std::unique_ptr<gdi::Surface> surface;
    bool painted = false;
    // Top-level only: the SDL window and the GL attributes it was made with.
    uint32_t sdlId = 0;
    sdl::GlAttributes gl;
    int pixelFormat = 0;
    int contexts = 0; // live GL contexts made on this window's SDL window
};

const WindowClass* FindWindowClass(const std::string& name);

Window* FindWindow(HWND wnd);
HWND WindowOfSdlId(uint32_t sdlId);
// The top-level window a window belongs to (itself for a top-level).
Window* TopLevelOf(Window* w);
// Window origin in its top-level's client area (0, 0 for the top-level itself).
void OriginInTopLevel(const Window* w, int& x, int& y);
// Windows in creation order, for painting parents before children.
std::vector<HWND> AllWindows();
// Every visible window in wnd's subtree, parents before children, creation order.
void VisibleChildren(HWND wnd, std::vector<HWND>& out);
// The deepest visible child under (x, y) of a top-level's client area, or the top-level;
// x, y become that window's client coordinates.
HWND HitTest(Window* top, int& x, int& y);

// Marks the window (and, when asked, its children) as needing WM_PAINT.
void InvalidateWindow(Window* w, bool erase, bool children);

// GL contexts keep their SDL window alive after the HWND is gone; this releases it once no
// context uses it any more.
void ReleaseSdlWindowIfUnused(uint32_t sdlId);
void NoteContextCreated(uint32_t sdlId);
void NoteContextDeleted(uint32_t sdlId);
// Recreates the SDL window behind a top-level with other GL attributes (before any context).
bool RecreateSdlWindow(Window* w, const sdl::GlAttributes& gl);

// Message-queue hooks used by the tree.
void ForgetWindowInQueue(HWND wnd);
void ForgetCapture(HWND wnd);

std::string Cp1252ToUtf8(const std::string& text);

} // namespace platform
