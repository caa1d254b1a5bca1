// The GL window's procedure and the one-message pump: key, mouse and close messages
// become the library's input state, which programs poll between frames.
#include "lumora/window.h"
#include "mouse_view.h"
#include "platform/win32.h"

namespace Lumora {

using namespace platform;

namespace {

// Key codes outside the table never index it.
void SetKeyState(WPARAM code, int32_t state) {
    if (code <= 500) SetKey[code] = state;
}

LRESULT DefaultProcessing(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    if (WParam == 0 && HStatus != 0) UpdateWindow(HStatus);
    return DefWindowProcA(Window, AMessage, WParam, LParam);
}

} // namespace

LRESULT GLWndProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    const int x = GET_X_LPARAM(LParam);
    const int y = GET_Y_LPARAM(LParam);
    switch (AMessage) {
    case WM_CREATE:
        Active = true;
        return 0;
    case WM_DESTROY:
        Active = false;
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        BeginPaint(Window, &ps);
        if (HStatus != 0) UpdateWindow(HStatus);
        EndPaint(Window, &ps);
        return 0;
    }
    case WM_CONTEXTMENU:
        if (ShowMenuBar && CreateMouseMenu) CreateMouseMenu();
        break;
    case WM_KEYDOWN:
        if (WParam == VK_ESCAPE) {
            // The window stays until the program deletes it; the frame loop just ends.
            SendMessageA(HWindow, WM_DESTROY, 0, 0);
            return 0;
        }
        SetKeyState(WParam, -1);
        break;
    case WM_KEYUP:
        SetKeyState(WParam, 0);
        MouseFree = false;
        break;
    case WM_COMMAND:
        if (ShowMenuBar && GetInputCommand) GetInputCommand(Window, AMessage, WParam, LParam);
        return 0;
    case WM_MOUSEMOVE:
        SetOMX = x;
        SetOMY = y;
        MouseViewUpdate(x, y);
        break;
    case WM_LBUTTONDOWN:
        ReleaseCapture();
        SetCapture(HWindow);
        LeftMouseDown = true;
        LeftMouseDown2 = true;
        XCoord = x;
        YCoord = y;
        SetMX = x;
        SetMY = y;
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        LeftMouseDown = false;
        LeftMouseDown2 = false;
        XCoord = 0;
        YCoord = 0;
        SetMX = 0;
        SetMY = 0;
        break;
    case WM_RBUTTONDOWN:
        ReleaseCapture();
        SetCapture(HWindow);
        RightMouseDown = true;
        RightMouseDown2 = true;
        ZCoord = y;
        break;
    case WM_RBUTTONUP:
        ReleaseCapture();
        RightMouseDown = false;
        RightMouseDown2 = false;
        break;
    default:
        break;
    }
    return DefaultProcessing(Window, AMessage, WParam, LParam);
}

void SetGLMsg() {
    if (!PeekMessageA(&Msg_, 0, 0, 0, PM_NOREMOVE)) return;
    GetMessageA(&Msg_, 0, 0, 0);
    TranslateMessage(&Msg_);
    DispatchMessageA(&Msg_);
}

bool SetGLKey(char Key) {
    return SetKey[static_cast<unsigned char>(Key)] != 0;
}

} // namespace Lumora
