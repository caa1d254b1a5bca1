// Window classes, the window tree, the message queue, input, painting, properties,
// cursors and icons, message boxes, the status bar and the system queries.
#pragma once

#include "platform/win_types.h"

namespace platform {

// ---- module instance and start-up show state ---------------------------------------------

// The process itself stands for the module instance; windows started normally are shown.
HINSTANCE GetModuleHandleA(LPCSTR moduleName);
int GetStartupShowCommand();

// ---- window classes ------------------------------------------------------------------------

ATOM RegisterClassA(const WNDCLASSA* wc);
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR className, WNDCLASSEXA* out);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

// ---- windows ---------------------------------------------------------------------------------

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     void* param);
BOOL DestroyWindow(HWND wnd);
BOOL IsWindow(HWND wnd);
BOOL ShowWindow(HWND wnd, int cmdShow);
BOOL IsWindowVisible(HWND wnd);
BOOL UpdateWindow(HWND wnd);
BOOL GetWindowRect(HWND wnd, RECT* rect);
BOOL GetClientRect(HWND wnd, RECT* rect);
BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint);
HWND GetParent(HWND wnd);
int GetDlgCtrlID(HWND wnd);
BOOL SetWindowTextA(HWND wnd, LPCSTR text);
int GetWindowTextA(HWND wnd, LPSTR buffer, int maxCount);

// ---- window properties -------------------------------------------------------------------

BOOL SetPropA(HWND wnd, LPCSTR name, HANDLE value);
HANDLE GetPropA(HWND wnd, LPCSTR name);
HANDLE RemovePropA(HWND wnd, LPCSTR name);

// ---- messages ------------------------------------------------------------------------------

BOOL PeekMessageA(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeMsg);
BOOL GetMessageA(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT SendMessageA(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProcA(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- painting ------------------------------------------------------------------------------

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps);
BOOL InvalidateRect(HWND wnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND wnd, const RECT* rect);
HDC GetDC(HWND wnd);
int ReleaseDC(HWND wnd, HDC dc);

// ---- mouse, cursor, focus ------------------------------------------------------------------

HWND SetCapture(HWND wnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(POINT* pt);
BOOL SetCursorPos(int x, int y);
HWND GetForegroundWindow();
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorFromFileA(LPCSTR fileName);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
BOOL DestroyCursor(HCURSOR cursor);
BOOL DestroyIcon(HICON icon);

// ---- message boxes ---------------------------------------------------------------------------

// Texts are Windows-1252 bytes. Returns the button pressed, or 0 when no box could be
// shown; then the caption and text also go to standard error so the user still sees them.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// ---- status bar ----------------------------------------------------------------------------

HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id);

// ---- system --------------------------------------------------------------------------------

int GetSystemMetrics(int index);
DWORD GetTickCount();
HBRUSH GetSysColorBrush(int index);

} // namespace platform
