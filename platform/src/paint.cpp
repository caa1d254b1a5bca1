// Painting: update regions (whole windows here), WM_PAINT through BeginPaint/EndPaint
// into a child's own surface, and window device contexts.
#include "platform/win_window.h"
#include "window_tree.h"

namespace platform {

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps) {
    Window* w = FindWindow(wnd);
    if (!w || !ps) return 0;
    *ps = PAINTSTRUCT{};
    const HDC dc = gdi::CreateWindowDC(wnd, w->surface.get());
    if (!dc) return 0;
    ps->hdc = dc;
    ps->fErase = FALSE;
    ps->rcPaint = RECT{0, 0, w->width, w->height};
    const bool erase = w->needsErase;
    w->needsPaint = false;
    w->needsErase = false;
    if (erase && SendMessageA(wnd, WM_ERASEBKGND, dc, 0) == 0) ps->fErase = TRUE;
    return dc;
}

BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    if (Window* w = FindWindow(wnd)) w->painted = true;
    if (ps->hdc) gdi::ReleaseWindowDC(ps->hdc);
    return TRUE;
}

BOOL InvalidateRect(HWND wnd, const RECT*, BOOL erase) {
    if (wnd == 0) {
        for (HWND h : AllWindows()) InvalidateWindow(FindWindow(h), erase != FALSE, false);
        return TRUE;
    }
    Window* w = FindWindow(wnd);
    if (!w) return FALSE;
    InvalidateWindow(w, erase != FALSE, false);
    return TRUE;
}

BOOL ValidateRect(HWND wnd, const RECT*) {
    Window* w = FindWindow(wnd);
    if (!w) return FALSE;
    w->needsPaint = false;
    w->needsErase = false;
    return TRUE;
}

BOOL UpdateWindow(HWND wnd) {
    Window* w = FindWindow(wnd);
    if (!w) return FALSE;
    if (w->needsPaint) SendMessageA(wnd, WM_PAINT, 0, 0);
    // Children are brought up to date right after their parent.
    if (Window* again = FindWindow(wnd)) {
        const std::vector<HWND> children = again->children;
        for (HWND c : children) UpdateWindow(c);
    }
    return TRUE;
}

HDC GetDC(HWND wnd) {
    if (wnd == 0) return gdi::CreateWindowDC(0, nullptr); // the screen
    Window* w = FindWindow(wnd);
    if (!w) return 0;
    return gdi::CreateWindowDC(wnd, w->surface.get());
}

int ReleaseDC(HWND wnd, HDC dc) {
    // The window may be gone already; its DC is still released.
    if (!dc || gdi::WindowOfDC(dc) != wnd) return 0;
    return gdi::ReleaseWindowDC(dc) ? 1 : 0;
}

} // namespace platform
