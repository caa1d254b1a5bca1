// Window creation and destruction, geometry, visibility, titles, properties and window
// regions. Top-level windows sit on SDL windows; children are our own rectangles.
#include <algorithm>

#include "cursor_icon.h"
#include "handles.h"
#include "platform/win_gdi.h"
#include "platform/win_window.h"
#include "window_tree.h"

namespace platform {

namespace {

HandleTable<Window> g_windows;          // every live window
std::vector<HWND> g_creationOrder;      // live windows, oldest first
std::map<uint32_t, int> g_sdlContexts;  // SDL window id -> live GL contexts made on it
std::vector<uint32_t> g_orphanSdlWindows; // SDL windows whose HWND is gone but a context lives

constexpr int DefaultWidth = 640;
constexpr int DefaultHeight = 480;

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

void ApplyClassIcon(const Window& w, const WindowClass& wc) {
    std::vector<uint32_t> argb;
    int iw = 0, ih = 0;
    HICON icon = wc.icon ? wc.icon : wc.smallIcon;
    if (icon && CursorIconPixels(icon, argb, iw, ih)) sdl::SetWindowIcon(w.sdlId, argb.data(), iw, ih);
}

void DestroySdlWindowOf(Window& w) {
    if (!w.sdlId) return;
    if (g_sdlContexts[w.sdlId] > 0) {
        // A context still lives on it: keep the SDL window, hidden, until that context goes,
        // so that drawing and swaps after the close land nowhere instead of failing.
        sdl::ShowTopLevel(w.sdlId, false);
        g_orphanSdlWindows.push_back(w.sdlId);
    } else {
        g_sdlContexts.erase(w.sdlId);
        sdl::DestroyTopLevel(w.sdlId);
    }
    w.sdlId = 0;
}

} // namespace

Window* FindWindow(HWND wnd) { return g_windows.Find(wnd); }

HWND WindowOfSdlId(uint32_t sdlId) {
    if (sdlId == 0) return 0;
    for (HWND h : g_creationOrder) {
        const Window* w = g_windows.Find(h);
        if (w && w->sdlId == sdlId && !w->parent) return h;
    }
    return 0;
}

Window* TopLevelOf(Window* w) {
    while (w && w->parent) w = g_windows.Find(w->parent);
    return w;
}

void OriginInTopLevel(const Window* w, int& x, int& y) {
    x = 0;
    y = 0;
    while (w && w->parent) {
        x += w->x;
        y += w->y;
        w = g_windows.Find(w->parent);
    }
}

std::vector<HWND> AllWindows() { return g_creationOrder; }

void VisibleChildren(HWND wnd, std::vector<HWND>& out) {
    const Window* w = g_windows.Find(wnd);
    if (!w) return;
    for (HWND c : w->children) {
        const Window* child = g_windows.Find(c);
        if (!child || !child->visible) continue;
        out.push_back(c);
        VisibleChildren(c, out);
    }
}

HWND HitTest(Window* top, int& x, int& y) {
    Window* w = top;
    for (;;) {
        Window* hit = nullptr;
        // Later children lie on top, so the last one containing the point wins.
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
            Window* c = g_windows.Find(*it);
            if (!c || !c->visible || c->destroying) continue;
            const int lx = x - c->x, ly = y - c->y;
            if (lx < 0 || ly < 0 || lx >= c->width || ly >= c->height) continue;
            if (c->region && !gdi::RegionContains(c->region, lx, ly)) continue;
            hit = c;
            x = lx;
            y = ly;
            break;
        }
        if (!hit) return w->handle;
        w = hit;
    }
}

void InvalidateWindow(Window* w, bool erase, bool children) {
    if (!w) return;
    w->needsPaint = true;
    w->needsErase = w->needsErase || erase;
    if (!children) return;
    for (HWND c : w->children) InvalidateWindow(g_windows.Find(c), erase, true);
}

void NoteContextCreated(uint32_t sdlId) { ++g_sdlContexts[sdlId]; }

void NoteContextDeleted(uint32_t sdlId) {
    auto it = g_sdlContexts.find(sdlId);
    if (it != g_sdlContexts.end() && it->second > 0) --it->second;
    ReleaseSdlWindowIfUnused(sdlId);
}

void ReleaseSdlWindowIfUnused(uint32_t sdlId) {
    auto orphan = std::find(g_orphanSdlWindows.begin(), g_orphanSdlWindows.end(), sdlId);
    if (orphan == g_orphanSdlWindows.end()) return;
    if (g_sdlContexts[sdlId] > 0) return;
    g_orphanSdlWindows.erase(orphan);
    g_sdlContexts.erase(sdlId);
    sdl::DestroyTopLevel(sdlId);
}

bool RecreateSdlWindow(Window* w, const sdl::GlAttributes& gl) {
    if (!w || !w->sdlId || g_sdlContexts[w->sdlId] > 0) return false;
    int x = w->x, y = w->y;
    sdl::TopLevelPosition(w->sdlId, x, y);
    const uint32_t id = sdl::CreateTopLevel(Cp1252ToUtf8(w->title), x, y, w->width, w->height,
                                            !HasCaption(w->style), gl);
    if (!id) return false;
    g_sdlContexts.erase(w->sdlId);
    sdl::DestroyTopLevel(w->sdlId);
    w->sdlId = id;
    w->gl = gl;
    if (const WindowClass* wc = FindWindowClass(w->className)) ApplyClassIcon(*w, *wc);
    if (w->visible) sdl::ShowTopLevel(id, true);
    return true;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     void* param) {
    if (!className || IS_INTRESOURCE(className)) return 0;
    const WindowClass* wc = FindWindowClass(className);
    if (!wc) return 0;
    const bool child = (style & WS_CHILD) != 0;
    Window* parentWindow = g_windows.Find(parent);
    if (child && !parentWindow) return 0;
    if (!child) parentWindow = nullptr; // an owner is not a parent for top-level windows

    auto w = std::make_unique<Window>();
    w->className = wc->name;
    w->proc = wc->proc;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->title = windowName ? windowName : "";
    w->parent = child ? parent : 0;
    w->id = child ? static_cast<int>(menuOrId) : 0;
    // Pop-up windows with default placement go to the screen's top-left corner.
    w->x = x == CW_USEDEFAULT ? 0 : x;
    w->y = (x == CW_USEDEFAULT || y == CW_USEDEFAULT) ? 0 : y;
    w->width = width == CW_USEDEFAULT ? (child ? 0 : DefaultWidth) : std::max(0, width);
    w->height = width == CW_USEDEFAULT ? (child ? 0 : DefaultHeight) : std::max(0, height);
    if (child) {
        w->surface = std::make_unique<gdi::Surface>();
        w->surface->width = w->width;
        w->surface->height = w->height;
        w->surface->pixels.assign(static_cast<size_t>(w->width) * w->height, 0);
    } else {
        w->sdlId = sdl::CreateTopLevel(Cp1252ToUtf8(w->title), w->x, w->y, w->width, w->height,
                                       !HasCaption(style), w->gl);
        if (!w->sdlId) {
            // Some displays have no visual with alpha or stencil; take what the system has.
            w->gl = sdl::GlAttributes{};
            w->gl.alpha = 0;
            w->gl.stencil = 0;
            w->sdlId = sdl::CreateTopLevel(Cp1252ToUtf8(w->title), w->x, w->y, w->width, w->height,
                                           !HasCaption(style), w->gl);
        }
        if (!w->sdlId) return 0;
        ApplyClassIcon(*w, *wc);
    }

    Window* raw = w.get();
    const HWND h = g_windows.Add(std::move(w));
    raw->handle = h;
    g_creationOrder.push_back(h);
    if (parentWindow) parentWindow->children.push_back(h);

    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menuOrId;
    cs.hwndParent = parent;
    cs.cx = raw->width;
    cs.cy = raw->height;
    cs.x = raw->x;
    cs.y = raw->y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    const LRESULT created = SendMessageA(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
    if (created == -1) {
        DestroyWindow(h);
        return 0;
    }
    if (!g_windows.Find(h)) return 0; // destroyed by its own WM_CREATE
    if (style & WS_VISIBLE) ShowWindow(h, SW_SHOW);
    return h;
}

BOOL DestroyWindow(HWND wnd) {
    Window* w = g_windows.Find(wnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    if (w->visible) {
        w->visible = false;
        if (w->sdlId) sdl::ShowTopLevel(w->sdlId, false);
    }
    ForgetCapture(wnd);
    SendMessageA(wnd, WM_DESTROY, 0, 0);
    // Children hear of it after their parent, as programs expect.
    const std::vector<HWND> children = w->children;
    for (HWND c : children) DestroyWindow(c);
    SendMessageA(wnd, WM_NCDESTROY, 0, 0);

    if (Window* parent = g_windows.Find(w->parent)) {
        auto& list = parent->children;
        list.erase(std::remove(list.begin(), list.end(), wnd), list.end());
    }
    if (w->region) DeleteObject(w->region);
    ForgetWindowInQueue(wnd);
    DestroySdlWindowOf(*w);
    g_creationOrder.erase(std::remove(g_creationOrder.begin(), g_creationOrder.end(), wnd),
                          g_creationOrder.end());
    g_windows.Remove(wnd);
    return TRUE;
}

BOOL IsWindow(HWND wnd) { return g_windows.Find(wnd) ? TRUE : FALSE; }

BOOL ShowWindow(HWND wnd, int cmdShow) {
    Window* w = g_windows.Find(wnd);
    if (!w) return FALSE;
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    const bool show = cmdShow != SW_HIDE;
    if (show == w->visible) return wasVisible;
    w->visible = show;
    if (w->sdlId) sdl::ShowTopLevel(w->sdlId, show);
    SendMessageA(wnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (show) InvalidateWindow(w, true, true);
    return wasVisible;
}

BOOL IsWindowVisible(HWND wnd) {
    const Window* w = g_windows.Find(wnd);
    while (w) {
        if (!w->visible) return FALSE;
        w = g_windows.Find(w->parent);
    }
    return g_windows.Find(wnd) ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND wnd, RECT* rect) {
    Window* w = g_windows.Find(wnd);
    if (!w || !rect) return FALSE;
    Window* top = TopLevelOf(w);
    int sx = top->x, sy = top->y;
    if (top->sdlId) sdl::TopLevelPosition(top->sdlId, sx, sy);
    int ox = 0, oy = 0;
    OriginInTopLevel(w, ox, oy);
    rect->left = sx + ox;
    rect->top = sy + oy;
    rect->right = rect->left + w->width;
    rect->bottom = rect->top + w->height;
    return TRUE;
}

BOOL GetClientRect(HWND wnd, RECT* rect) {
    const Window* w = g_windows.Find(wnd);
    if (!w || !rect) return FALSE;
    *rect = RECT{0, 0, w->width, w->height};
    return TRUE;
}

BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint) {
    Window* w = g_windows.Find(wnd);
    if (!w) return FALSE;
    width = std::max(0, width);
    height = std::max(0, height);
    const bool resized = width != w->width || height != w->height;
    const bool moved = x != w->x || y != w->y;
    w->x = x;
    w->y = y;
    w->width = width;
    w->height = height;
    if (w->sdlId) sdl::SetTopLevelBounds(w->sdlId, x, y, width, height);
    if (w->surface && resized) {
        // The surface object stays put, so DCs that point at it stay valid.
        w->surface->width = width;
        w->surface->height = height;
        w->surface->pixels.assign(static_cast<size_t>(width) * height, 0);
        w->painted = false;
        InvalidateWindow(w, true, false);
    }
    if (moved) SendMessageA(wnd, WM_MOVE, 0, MAKELPARAM(x, y));
    if (resized) SendMessageA(wnd, WM_SIZE, 0, MAKELPARAM(width, height));
    if (repaint && g_windows.Find(wnd)) InvalidateWindow(g_windows.Find(wnd), true, true);
    return TRUE;
}

HWND GetParent(HWND wnd) {
    const Window* w = g_windows.Find(wnd);
    return w ? w->parent : 0;
}

int GetDlgCtrlID(HWND wnd) {
    const Window* w = g_windows.Find(wnd);
    return w && w->parent ? w->id : 0;
}

BOOL SetWindowTextA(HWND wnd, LPCSTR text) {
    Window* w = g_windows.Find(wnd);
    if (!w) return FALSE;
    w->title = text ? text : "";
    if (w->sdlId) sdl::SetTopLevelTitle(w->sdlId, Cp1252ToUtf8(w->title));
    else InvalidateWindow(w, true, false);
    return TRUE;
}

int GetWindowTextA(HWND wnd, LPSTR buffer, int maxCount) {
    const Window* w = g_windows.Find(wnd);
    if (!w || !buffer || maxCount <= 0) return 0;
    const int n = std::min<int>(static_cast<int>(w->title.size()), maxCount - 1);
    std::copy_n(w->title.data(), n, buffer);
    buffer[n] = '\0';
    return n;
}

BOOL SetPropA(HWND wnd, LPCSTR name, HANDLE value) {
    Window* w = g_windows.Find(wnd);
    if (!w || !name || IS_INTRESOURCE(name)) return FALSE;
    w->props[name] = value;
    return TRUE;
}

HANDLE GetPropA(HWND wnd, LPCSTR name) {
    const Window* w = g_windows.Find(wnd);
    if (!w || !name || IS_INTRESOURCE(name)) return 0;
    auto it = w->props.find(name);
    return it == w->props.end() ? 0 : it->second;
}

HANDLE RemovePropA(HWND wnd, LPCSTR name) {
    Window* w = g_windows.Find(wnd);
    if (!w || !name || IS_INTRESOURCE(name)) return 0;
    auto it = w->props.find(name);
    if (it == w->props.end()) return 0;
    const HANDLE value = it->second;
    w->props.erase(it);
    return value;
}

int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw) {
    Window* w = g_windows.Find(wnd);
    if (!w) return 0;
    if (rgn && !gdi::IsRegion(rgn)) return 0;
    // The window owns the region from now on; the one it had goes.
    if (w->region && w->region != rgn) DeleteObject(w->region);
    w->region = rgn;
    if (redraw) InvalidateWindow(w, true, true);
    return 1;
}

} // namespace platform
