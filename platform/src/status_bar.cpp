// The status bar: a child window along its parent's bottom edge that paints its own parts
// and texts, and takes SB_SETPARTS and SB_SETTEXTA like the common control.
#include <algorithm>
#include <string>
#include <vector>

#include "bitmap_font.h"
#include "platform/win_window.h"
#include "window_tree.h"

namespace platform {

namespace {

constexpr const char* StatusClass = "msctls_statusbar32";
constexpr int BarHeight = 20;
constexpr uint32_t Face = 0x00D4D0C8;   // button face grey
constexpr uint32_t Shadow = 0x00808080; // the sunken edges of each part
constexpr uint32_t Light = 0x00FFFFFF;
constexpr uint32_t Ink = 0x00000000;

struct StatusState {
    std::vector<int> edges;         // right edge of each part, -1 up to the border
    std::vector<std::string> texts; // text of each part
};
std::map<HWND, StatusState> g_status; // per status window

void Paint(HWND wnd) {
    PAINTSTRUCT ps{};
    BeginPaint(wnd, &ps);
    Window* w = FindWindow(wnd);
    if (w && w->surface) {
        gdi::Surface& s = *w->surface;
        std::fill(s.pixels.begin(), s.pixels.end(), Face);
        const StatusState& st = g_status[wnd];
        // With no part layout the whole bar is one part showing the window text.
        std::vector<int> edges = st.edges.empty() ? std::vector<int>{-1} : st.edges;
        int left = 0;
        for (size_t i = 0; i < edges.size(); ++i) {
            const int right = edges[i] < 0 ? s.width : std::min(edges[i], s.width);
            if (right <= left) continue;
            for (int x = left; x < right - 2; ++x) {
                if (s.height > 2) s.pixels[static_cast<size_t>(2) * s.width + x] = Shadow;
                s.pixels[static_cast<size_t>(s.height - 1) * s.width + x] = Light;
            }
            for (int y = 2; y < s.height; ++y) {
                s.pixels[static_cast<size_t>(y) * s.width + left] = Shadow;
                if (right - 2 >= 0) s.pixels[static_cast<size_t>(y) * s.width + right - 2] = Light;
            }
            const std::string& text =
                st.edges.empty() ? w->title : (i < st.texts.size() ? st.texts[i] : std::string());
            DrawText5x7(s, left + 4, (s.height - GlyphHeight) / 2 + 1, text.c_str(), Ink,
                        right - 3);
            left = right;
        }
    }
    EndPaint(wnd, &ps);
}

LRESULT StatusBarProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        Paint(wnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        g_status.erase(wnd);
        return 0;
    case SB_SETPARTS: {
        StatusState& st = g_status[wnd];
        const int count = std::clamp<int>(static_cast<int>(wParam), 0, 256);
        const int32_t* edges = reinterpret_cast<const int32_t*>(lParam);
        if (count > 0 && !edges) return FALSE;
        st.edges.assign(edges, edges + count);
        st.texts.resize(static_cast<size_t>(count));
        InvalidateRect(wnd, nullptr, TRUE);
        return TRUE;
    }
    case SB_GETPARTS: {
        const StatusState& st = g_status[wnd];
        int32_t* out = reinterpret_cast<int32_t*>(lParam);
        const size_t n = std::min<size_t>(wParam, st.edges.size());
        for (size_t i = 0; out && i < n; ++i)
            out[i] = st.edges[i];
        return static_cast<LRESULT>(st.edges.size());
    }
    case SB_SETTEXTA: {
        StatusState& st = g_status[wnd];
        const size_t part = wParam & 0xFF;
        const char* text = reinterpret_cast<const char*>(lParam);
        if (part == 0 && st.edges.empty()) {
            SetWindowTextA(wnd, text);
        } else {
            if (part >= st.texts.size()) st.texts.resize(part + 1);
            st.texts[part] = text ? text : "";
        }
        InvalidateRect(wnd, nullptr, TRUE);
        return TRUE;
    }
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

} // namespace

HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id) {
    if (!FindWindowClass(StatusClass)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = StatusBarProc;
        wc.hCursor = LoadCursorA(0, MAKEINTRESOURCEA(IDC_ARROW));
        wc.lpszClassName = StatusClass;
        RegisterClassA(&wc);
    }
    RECT client{};
    if (!GetClientRect(parent, &client)) return 0;
    return CreateWindowExA(0, StatusClass, text, static_cast<DWORD>(style) | WS_CHILD, 0,
                           client.bottom - BarHeight, client.right, BarHeight, parent,
                           static_cast<HMENU>(id), 0, nullptr);
}

} // namespace platform
