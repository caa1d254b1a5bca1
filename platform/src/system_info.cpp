// System queries: screen size, the millisecond clock, the cursor's screen position.
#include <time.h>

#include <map>

#include "backend_sdl.h"
#include "platform/win_gdi.h"
#include "platform/win_window.h"

namespace platform {

int GetSystemMetrics(int index) {
    int w = 0, h = 0;
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) return 0;
    if (!sdl::DesktopSize(w, h)) return 0;
    return index == SM_CXSCREEN ? w : h;
}

DWORD GetTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<DWORD>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                              static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

BOOL GetCursorPos(POINT* pt) {
    if (!pt) return FALSE;
    int x = 0, y = 0;
    if (!sdl::GlobalMousePosition(x, y)) return FALSE;
    pt->x = x;
    pt->y = y;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    if (!sdl::VideoStarted()) return FALSE;
    sdl::WarpMouseGlobal(x, y);
    return TRUE;
}

} // namespace platform

namespace platform {

HBRUSH GetSysColorBrush(int index) {
    // The classic system colours the library's classes use; others read as the face grey.
    static std::map<int, HBRUSH> brushes; // one shared brush per colour index
    auto it = brushes.find(index);
    if (it != brushes.end()) return it->second;
    COLORREF colour = RGB(212, 208, 200);
    switch (index) {
    case 5:
        colour = RGB(255, 255, 255);
        break; // window background
    case 8:
        colour = RGB(0, 0, 0);
        break; // window text
    case 16:
        colour = RGB(128, 128, 128);
        break; // button shadow
    case 20:
        colour = RGB(255, 255, 255);
        break; // button highlight
    default:
        break;
    }
    const HBRUSH brush = CreateSolidBrush(colour);
    if (brush) brushes.emplace(index, brush);
    return brush;
}

} // namespace platform
