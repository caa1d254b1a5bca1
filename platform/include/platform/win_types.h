// Win32-shaped types, records and constants that the library is written against.
// Every declaration here is our own, made from what the calling code relies on;
// numeric values are the ones programs of this kind pass and compare.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using UINT = uint32_t;
using INT = int32_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;
using LPCSTR = const char*;
using LPSTR = char*;

// Pointer-sized message parameters, as on 64-bit Windows: some messages carry addresses
// (SB_SETPARTS passes the address of its edge array).
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// Handles are 32-bit values looked up in typed tables; 0 is "none" and the failure value.
using HANDLE = uint32_t;
using HWND = uint32_t;
using HDC = uint32_t;
using HGLRC = uint32_t;
using HGDIOBJ = uint32_t;
using HBITMAP = uint32_t;
using HPALETTE = uint32_t;
using HRGN = uint32_t;
using HBRUSH = uint32_t;
using HCURSOR = uint32_t;
using HICON = uint32_t;
using HMENU = uint32_t;
using HINSTANCE = uint32_t;
using HGLOBAL = uint32_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct CREATESTRUCTA {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// The 40-byte pixel format descriptor, field for field.
struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);

// ---- GDI records -------------------------------------------------------------------------

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

struct RGNDATAHEADER {
    DWORD dwSize;
    DWORD iType;
    DWORD nCount;
    DWORD nRgnSize;
    RECT rcBound;
};
static_assert(sizeof(RGNDATAHEADER) == 32);

struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
};

struct XFORM {
    float eM11, eM12, eM21, eM22, eDx, eDy;
};

// ---- helpers of the message parameters ----------------------------------------------------

constexpr WORD LOWORD(uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
// Client coordinates are signed 16-bit values: negative left of and above a capturing window.
constexpr int GET_X_LPARAM(LPARAM lp) {
    return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lp)));
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<int32_t>((static_cast<uint32_t>(lo) & 0xFFFF) |
                                                    ((static_cast<uint32_t>(hi) & 0xFFFF) << 16)));
}
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
// Resource ids passed where a name is expected (IDC_ARROW, IDI_APPLICATION).
inline LPCSTR MAKEINTRESOURCEA(uintptr_t id) {
    return reinterpret_cast<LPCSTR>(id);
}
inline bool IS_INTRESOURCE(LPCSTR p) {
    return (reinterpret_cast<uintptr_t>(p) >> 16) == 0;
}

// ---- window messages ------------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_USER = 0x0400;

constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_SCREENSAVE = 0xF140;
constexpr UINT SC_MONITORPOWER = 0xF170;

// Mouse-message wParam flags.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// PeekMessage flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// ---- virtual keys -------------------------------------------------------------------------

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;

// ---- class and window styles -------------------------------------------------------------

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_POPUP = 0x80000000;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// ---- message boxes ----------------------------------------------------------------------

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// ---- cursors and icons (resource ids) ----------------------------------------------------

constexpr uintptr_t IDC_ARROW = 32512;
constexpr uintptr_t IDC_IBEAM = 32513;
constexpr uintptr_t IDC_WAIT = 32514;
constexpr uintptr_t IDC_CROSS = 32515;
constexpr uintptr_t IDC_UPARROW = 32516;
constexpr uintptr_t IDC_SIZE = 32640;
constexpr uintptr_t IDC_ICON = 32641;
constexpr uintptr_t IDC_SIZENWSE = 32642;
constexpr uintptr_t IDC_SIZENESW = 32643;
constexpr uintptr_t IDC_SIZEWE = 32644;
constexpr uintptr_t IDC_SIZENS = 32645;
constexpr uintptr_t IDC_SIZEALL = 32646;
constexpr uintptr_t IDC_NO = 32648;
constexpr uintptr_t IDC_HAND = 32649;
constexpr uintptr_t IDC_APPSTARTING = 32650;
constexpr uintptr_t IDC_HELP = 32651;

constexpr uintptr_t IDI_APPLICATION = 32512;

constexpr int COLOR_BTNFACE = 15;

// ---- status bar -------------------------------------------------------------------------

constexpr UINT SB_SETTEXTA = WM_USER + 1;
constexpr UINT SB_SETPARTS = WM_USER + 4;
constexpr UINT SB_GETPARTS = WM_USER + 6;

// ---- pixel formats -----------------------------------------------------------------------

constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_STEREO = 0x00000002;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_DRAW_TO_BITMAP = 0x00000008;
constexpr DWORD PFD_SUPPORT_GDI = 0x00000010;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr DWORD PFD_GENERIC_FORMAT = 0x00000040;
constexpr DWORD PFD_GENERIC_ACCELERATED = 0x00001000;
constexpr DWORD PFD_SUPPORT_DIRECTDRAW = 0x00002000;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_MAIN_PLANE = 0;

// ---- GDI ---------------------------------------------------------------------------------

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_LOADFROMFILE = 0x0010;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int DEFAULT_PALETTE = 15;

constexpr DWORD RDH_RECTANGLES = 1;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// Region kinds returned by CombineRgn.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

constexpr UINT GDI_ERROR = 0xFFFFFFFF;

} // namespace platform
