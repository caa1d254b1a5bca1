// The thread's message queue: posted messages first in, first out, SDL input translated
// into window messages as it arrives, WM_QUIT after PostQuitMessage, WM_PAINT only when
// nothing else is pending. Peeking never blocks; sending and dispatching run the window
// procedure before returning.
#include <deque>

#include "cursor_icon.h"
#include "platform/win_window.h"
#include "window_tree.h"

namespace platform {

namespace {

std::deque<MSG> g_posted;   // posted and translated input messages, oldest first
bool g_quitPending = false; // PostQuitMessage was called and WM_QUIT not yet taken
int g_quitCode = 0;         // its exit code
HWND g_capture = 0;         // the window that gets every mouse message
HWND g_lastMouseTarget = 0; // window under the pointer at the last mouse message
HWND g_foreground = 0;      // top-level window with the keyboard focus, from focus events
bool g_focusSeen = false;   // a focus event arrived, so g_foreground is the truth

bool Matches(const MSG& m, HWND filter, UINT minMsg, UINT maxMsg) {
    if (filter) {
        // A window filter also takes the messages of the window's children.
        HWND h = m.hwnd;
        bool inside = false;
        while (h) {
            if (h == filter) {
                inside = true;
                break;
            }
            h = GetParent(h);
        }
        if (!inside) return false;
    }
    if (minMsg == 0 && maxMsg == 0) return true;
    return m.message >= minMsg && m.message <= maxMsg;
}

void Post(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m{};
    m.hwnd = wnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    POINT pt{};
    GetCursorPos(&pt);
    m.pt = pt;
    g_posted.push_back(m);
}

WPARAM MouseFlags(const sdl::BackendEvent& e) {
    WPARAM flags = 0;
    if (e.buttons & 1u) flags |= MK_LBUTTON;
    if (e.buttons & 2u) flags |= MK_MBUTTON;
    if (e.buttons & 4u) flags |= MK_RBUTTON;
    if (e.shift) flags |= MK_SHIFT;
    if (e.ctrl) flags |= MK_CONTROL;
    return flags;
}

// Key messages carry the repeat count, the key's position and its previous and new state.
LPARAM KeyLParam(const sdl::BackendEvent& e, bool down) {
    uint32_t lp = 1u | ((static_cast<uint32_t>(e.scancode) & 0xFFu) << 16);
    if (e.alt) lp |= 1u << 29;
    if (!down || e.repeat) lp |= 1u << 30;
    if (!down) lp |= 1u << 31;
    return static_cast<LPARAM>(static_cast<int32_t>(lp));
}

void RouteMouse(const sdl::BackendEvent& e) {
    HWND top = WindowOfSdlId(e.windowId);
    Window* target = nullptr;
    int x = e.x, y = e.y;
    if (Window* cap = FindWindow(g_capture)) {
        // The capturing window gets everything, in its own client coordinates, negative
        // left of and above it.
        Window* capTop = TopLevelOf(cap);
        if (top && capTop && capTop->handle != top) {
            // The pointer is over another of our windows: go through screen coordinates.
            RECT src{}, dst{};
            GetWindowRect(top, &src);
            GetWindowRect(capTop->handle, &dst);
            x += src.left - dst.left;
            y += src.top - dst.top;
        }
        int ox = 0, oy = 0;
        OriginInTopLevel(cap, ox, oy);
        x -= ox;
        y -= oy;
        target = cap;
    } else {
        Window* t = FindWindow(top);
        if (!t) return;
        target = FindWindow(HitTest(t, x, y));
    }
    if (!target) return;
    const HWND h = target->handle;
    if (e.kind == sdl::BackendEvent::MouseMove && !g_capture) {
        // The class cursor of the window under the pointer, as default processing shows it.
        SendMessageA(h, WM_SETCURSOR, h, MAKELPARAM(1, WM_MOUSEMOVE));
    }
    g_lastMouseTarget = h;
    const LPARAM pos = MAKELPARAM(x, y);
    const WPARAM flags = MouseFlags(e);
    switch (e.kind) {
    case sdl::BackendEvent::MouseMove: Post(h, WM_MOUSEMOVE, flags, pos); break;
    case sdl::BackendEvent::MouseDown:
        Post(h, e.button == 1 ? WM_LBUTTONDOWN : e.button == 3 ? WM_RBUTTONDOWN : WM_MBUTTONDOWN,
             flags, pos);
        break;
    case sdl::BackendEvent::MouseUp:
        Post(h, e.button == 1 ? WM_LBUTTONUP : e.button == 3 ? WM_RBUTTONUP : WM_MBUTTONUP, flags,
             pos);
        break;
    case sdl::BackendEvent::MouseWheel:
        Post(h, WM_MOUSEWHEEL, flags | (static_cast<WPARAM>(static_cast<uint16_t>(e.wheel * 120)) << 16),
             pos);
        break;
    default: break;
    }
}

void TranslateBackendEvent(const sdl::BackendEvent& e) {
    switch (e.kind) {
    case sdl::BackendEvent::KeyDown:
    case sdl::BackendEvent::KeyUp: {
        const HWND h = WindowOfSdlId(e.windowId);
        if (!h) return;
        const bool down = e.kind == sdl::BackendEvent::KeyDown;
        // Keys pressed with Alt, and Alt itself, are system keys, as on Windows.
        const bool sys = e.alt || e.vk == VK_MENU;
        const UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        Post(h, msg, static_cast<WPARAM>(e.vk), KeyLParam(e, down));
        return;
    }
    case sdl::BackendEvent::MouseMove:
    case sdl::BackendEvent::MouseDown:
    case sdl::BackendEvent::MouseUp:
    case sdl::BackendEvent::MouseWheel: RouteMouse(e); return;
    case sdl::BackendEvent::WindowClose:
        if (HWND h = WindowOfSdlId(e.windowId)) Post(h, WM_CLOSE, 0, 0);
        return;
    case sdl::BackendEvent::Quit:
        // A quit request from outside (Ctrl+C, the session ending) closes every window as
        // its close box would.
        for (HWND h : AllWindows())
            if (Window* w = FindWindow(h); w && !w->parent) Post(h, WM_CLOSE, 0, 0);
        return;
    case sdl::BackendEvent::WindowExposed:
        if (Window* w = FindWindow(WindowOfSdlId(e.windowId))) InvalidateWindow(w, true, true);
        return;
    case sdl::BackendEvent::WindowLeave: g_lastMouseTarget = 0; return;
    case sdl::BackendEvent::FocusGained:
        g_focusSeen = true;
        g_foreground = WindowOfSdlId(e.windowId);
        return;
    case sdl::BackendEvent::FocusLost:
        g_focusSeen = true;
        if (g_foreground == WindowOfSdlId(e.windowId)) g_foreground = 0;
        return;
    default: return;
    }
}

void PumpBackend() {
    sdl::BackendEvent e;
    while (sdl::PollEvent(e)) TranslateBackendEvent(e);
}

HWND WindowNeedingPaint(HWND filter) {
    for (HWND h : AllWindows()) {
        const Window* w = FindWindow(h);
        if (!w || !w->needsPaint || w->destroying) continue;
        MSG probe{};
        probe.hwnd = h;
        probe.message = WM_PAINT;
        if (Matches(probe, filter, 0, 0)) return h;
    }
    return 0;
}

} // namespace

void ForgetWindowInQueue(HWND wnd) {
    if (g_lastMouseTarget == wnd) g_lastMouseTarget = 0;
}

void ForgetCapture(HWND wnd) {
    // Destroying the capturing window, or one of its ancestors, ends the capture.
    for (HWND h = g_capture; h; h = GetParent(h)) {
        if (h == wnd) {
            ReleaseCapture();
            return;
        }
    }
}

BOOL PeekMessageA(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (!msg) return FALSE;
    PumpBackend();
    for (auto it = g_posted.begin(); it != g_posted.end(); ++it) {
        if (!Matches(*it, wnd, filterMin, filterMax)) continue;
        *msg = *it;
        if (removeMsg & PM_REMOVE) g_posted.erase(it);
        return TRUE;
    }
    if (g_quitPending && wnd == 0 && ((filterMin == 0 && filterMax == 0) ||
                                      (WM_QUIT >= filterMin && WM_QUIT <= filterMax))) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(g_quitCode);
        msg->time = GetTickCount();
        if (removeMsg & PM_REMOVE) g_quitPending = false;
        return TRUE;
    }
    if ((filterMin == 0 && filterMax == 0) || (WM_PAINT >= filterMin && WM_PAINT <= filterMax)) {
        // WM_PAINT stays pending until the window is validated, whatever the remove flag.
        if (HWND h = WindowNeedingPaint(wnd)) {
            *msg = MSG{};
            msg->hwnd = h;
            msg->message = WM_PAINT;
            msg->time = GetTickCount();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL GetMessageA(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    while (!PeekMessageA(msg, wnd, filterMin, filterMax, PM_REMOVE)) sdl::WaitForEvent(10);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    const int ch = sdl::CharacterForKey(static_cast<int>(msg->wParam));
    if (ch == 0) return FALSE;
    Post(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, static_cast<WPARAM>(ch),
         msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    Window* w = FindWindow(msg->hwnd);
    if (!w || !w->proc) return 0;
    const LRESULT r = w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A procedure that did not validate its window must not get WM_PAINT forever.
        if (Window* again = FindWindow(msg->hwnd)) again->needsPaint = false;
    }
    return r;
}

LRESULT SendMessageA(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindow(wnd);
    if (!w || !w->proc) return 0;
    return w->proc(wnd, msg, wParam, lParam);
}

BOOL PostMessageA(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wnd != 0 && !FindWindow(wnd)) return FALSE;
    Post(wnd, msg, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    g_quitPending = true;
    g_quitCode = exitCode;
}

LRESULT DefWindowProcA(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindow(wnd);
    if (!w) return 0;
    switch (msg) {
    case WM_CLOSE: DestroyWindow(wnd); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        BeginPaint(wnd, &ps);
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window through the system command, as the system menu does.
        if (wParam == static_cast<WPARAM>(VK_F1 + 3) && (lParam & (1 << 29)))
            SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(wnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETCURSOR: {
        const WindowClass* wc = FindWindowClass(w->className);
        if (wc && wc->cursor) ShowClassCursor(wc->cursor);
        return wc && wc->cursor ? TRUE : FALSE;
    }
    default: return 0;
    }
}

HWND SetCapture(HWND wnd) {
    const HWND previous = g_capture;
    if (!FindWindow(wnd)) return previous;
    if (previous && previous != wnd) SendMessageA(previous, WM_CAPTURECHANGED, 0, wnd);
    g_capture = wnd;
    sdl::CaptureMouse(true);
    return previous;
}

BOOL ReleaseCapture() {
    const HWND previous = g_capture;
    g_capture = 0;
    sdl::CaptureMouse(false);
    if (previous) SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return g_capture; }

HWND GetForegroundWindow() {
    if (g_focusSeen) return FindWindow(g_foreground) ? g_foreground : 0;
    return WindowOfSdlId(sdl::KeyboardFocusWindow());
}

} // namespace platform
