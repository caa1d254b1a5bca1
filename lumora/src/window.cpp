// The GL window's life: class registration, creation, pixel format and context, the
// optional status bar, teardown, and the fatal start-up error.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "lumora/image_button.h"
#include "lumora/window.h"
#include "platform/win32.h"

namespace Lumora {

using namespace platform;

namespace {

// Class cursor for each cursor choice; choice 7 is loaded from CursorFile instead.
HCURSOR CursorOfChoice(int32_t choice) {
    uintptr_t id = 0;
    switch (choice) {
    case ARROW:
        id = IDC_ARROW;
        break;
    case IBEAM:
        id = IDC_IBEAM;
        break;
    case WAIT:
        id = IDC_WAIT;
        break;
    case CROSS:
        id = IDC_CROSS;
        break;
    case UPARROW:
        id = IDC_UPARROW;
        break;
    case SIZE:
        id = IDC_SIZE;
        break;
    case FILECURSOR:
        return LoadCursorFromFileA(CursorFile ? CursorFile : "");
    case SIZENWSE:
        id = IDC_SIZENWSE;
        break;
    case SIZENESW:
        id = IDC_SIZENESW;
        break;
    case SIZEWE:
        id = IDC_SIZEWE;
        break;
    case SIZENS:
        id = IDC_SIZENS;
        break;
    case SIZEALL:
        id = IDC_SIZEALL;
        break;
    case NOCURSOR:
        id = IDC_NO;
        break;
    case HAND:
        id = IDC_HAND;
        break;
    case APPSTARTING:
        id = IDC_APPSTARTING;
        break;
    case HELP:
        id = IDC_HELP;
        break;
    default:
        return 0; // an unknown choice gives a class without a cursor
    }
    return LoadCursorA(0, MAKEINTRESOURCEA(id));
}

HICON IconOfChoice(int32_t choice) {
    if (choice == GENERIC) return LoadIconA(0, MAKEINTRESOURCEA(IDI_APPLICATION));
    if (choice == FILEICON) return LoadCursorFromFileA(IconFile ? IconFile : "");
    return 0;
}

} // namespace

void OGLWindowSetting(int32_t TypeCursor, const char* CurFile, int32_t TypeIcon,
                      const char* IcoFile) {
    if (MouseFree) {
        Start = GetTickCount();
        SetCursorPos(Width / 2, Height / 2);
    }
    FogOnOff = true;
    SetTypeCursor = TypeCursor;
    CursorFile = CurFile;
    SetTypeIcon = TypeIcon;
    IconFile = IcoFile;
    // Without a current context (the usual case: called before the window exists) these
    // have no effect and ObjNull stays 0.
    if (wglGetCurrentContext()) {
        ObjNull = glGenLists(1);
        glNewList(ObjNull, GL_COMPILE);
        glEndList();
    } else {
        ObjNull = 0;
    }
}

bool WindowRegister() {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = GLWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = IconOfChoice(SetTypeIcon);
    wc.hCursor = CursorOfChoice(SetTypeCursor);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = GLWindowClass;
    const bool registered = static_cast<uint16_t>(RegisterClassA(&wc)) != 0;

    if (!GetClassInfoExA(0, SZHOVERCLASS, &WindowClassEx)) {
        WindowClassEx = WNDCLASSEXA{};
        WindowClassEx.cbSize = 48;
        WindowClassEx.style = 0;
        WindowClassEx.lpfnWndProc = HoverButtonHandler;
        WindowClassEx.cbClsExtra = 0;
        WindowClassEx.cbWndExtra = 0;
        WindowClassEx.hInstance = GetModuleHandleA(nullptr);
        WindowClassEx.hIcon = LoadIconA(0, MAKEINTRESOURCEA(IDI_APPLICATION));
        WindowClassEx.hCursor = LoadCursorA(0, MAKEINTRESOURCEA(IDC_ARROW));
        WindowClassEx.hbrBackground = GetStockObject(NULL_BRUSH);
        WindowClassEx.lpszMenuName = nullptr;
        WindowClassEx.lpszClassName = SZHOVERCLASS;
        WindowClassEx.hIconSm = LoadIconA(0, MAKEINTRESOURCEA(IDI_APPLICATION));
        RegisterClassExA(&WindowClassEx);
    }
    return registered;
}

HWND WindowCreate(const char* pcApplicationName) {
    DWORD style;
    if (!FullScreen) {
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION |
                WS_SYSMENU | WS_MINIMIZEBOX;
    } else {
        // The desktop keeps its mode: the window takes the screen's size instead.
        Width = GetSystemMetrics(SM_CXSCREEN);
        Height = GetSystemMetrics(SM_CYSCREEN);
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU;
    }
    const HWND wnd =
        CreateWindowExA(0, GLWindowClass, pcApplicationName, style, CW_USEDEFAULT, CW_USEDEFAULT,
                        Width, Height, 0, 0, GetModuleHandleA(nullptr), nullptr);
    if (wnd) {
        ShowWindow(wnd, GetStartupShowCommand());
        UpdateWindow(wnd);
    }
    return wnd;
}

bool WindowInit(HWND hParent) {
    int32_t FunctionError = 0;
    DCWindow = GetDC(hParent);
    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = static_cast<DWORD>(Pixel_Format_Flags) | PFD_DOUBLEBUFFER | PFD_STEREO |
                  PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT |
                  PFD_GENERIC_ACCELERATED;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<BYTE>(Bits);
    pfd.cAlphaBits = static_cast<BYTE>(Bits);
    pfd.cAccumBits = static_cast<BYTE>(Bits);
    pfd.cDepthBits = static_cast<BYTE>(Bits);
    pfd.cStencilBits = static_cast<BYTE>(Bits);
    pfd.cAuxBuffers = static_cast<BYTE>(Bits);
    pfd.iLayerType = 1;
    const int iFormat = ChoosePixelFormat(DCWindow, &pfd);
    if (iFormat == 0) FunctionError = 1;
    SetPixelFormat(DCWindow, iFormat, &pfd);
    RCWindow = wglCreateContext(DCWindow);
    if (RCWindow == 0) FunctionError = 2;
    wglMakeCurrent(DCWindow, RCWindow);
    return FunctionError == 0;
}

HWND CreateStatusBar(HWND Parent) {
    std::memset(FileName, 0, sizeof FileName);
    std::strcpy(FileName, "Percorso file");
    AWnd = CreateStatusWindowA(static_cast<LONG>(WS_CHILD | WS_VISIBLE), FileName, Parent, 30482);
    if (AWnd != 0) {
        // Only the parts a program asked for, and never more than the table holds.
        const int32_t parts = MaxStatusItem < 0 ? 0 : MaxStatusItem > 20 ? 20 : MaxStatusItem;
        for (int32_t i = 1; i <= parts; ++i)
            Edges[i] = StatusItem[i];
        SendMessageA(AWnd, SB_SETPARTS, static_cast<WPARAM>(parts),
                     reinterpret_cast<LPARAM>(&Edges[1]));
    }
    return AWnd;
}

bool CreateOGLWindow(const char* AppName, int32_t AppWidth, int32_t AppHeight, int32_t AppBits,
                     bool AppFullScreen) {
    Width = AppWidth;
    Height = AppHeight;
    Bits = AppBits;
    FullScreen = AppFullScreen;
    if (!WindowRegister()) ThrowError("Errore di registro per la rispettiva applicazione!");
    HWindow = WindowCreate(AppName);
    if (ShowMenuBar && CreateMenuBar) CreateMenuBar();
    if (ShowStatusBar) HStatus = CreateStatusBar(HWindow);
    if (HWindow == 0) ThrowError("Impossibile creare la finestra per la rispettiva applicazione!");
    if (!WindowInit(HWindow)) ThrowError("la rispettiva applicazione non \xE8 stata inizilizata!");
    return true;
}

void DeleteOGLWindow() {
    wglMakeCurrent(DCWindow, 0);
    wglDeleteContext(RCWindow);
    ReleaseDC(HWindow, DCWindow);
    DestroyWindow(HWindow);
}

void ThrowError(const char* pcErrorMessage) {
    MessageBoxA(0, pcErrorMessage, "Error", MB_OK);
    std::exit(0);
}

} // namespace Lumora
