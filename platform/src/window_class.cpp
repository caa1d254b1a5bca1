// Window classes: registered by name (case-insensitive, as programs expect), looked up by
// window creation and GetClassInfoExA.
#include <algorithm>
#include <cctype>

#include "platform/win_window.h"
#include "window_tree.h"

namespace platform {

namespace {

std::map<std::string, WindowClass> g_classes; // registered classes by lower-case name
ATOM g_nextAtom = 0xC000;                     // class atoms, as Windows numbers them

std::string Key(LPCSTR name) {
    std::string k = name ? name : "";
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return std::tolower(c); });
    return k;
}

ATOM Register(const WindowClass& wc) {
    if (wc.name.empty() || !wc.proc) return 0;
    const std::string k = Key(wc.name.c_str());
    if (g_classes.count(k)) return 0;
    g_classes.emplace(k, wc);
    return g_nextAtom++;
}

} // namespace

const WindowClass* FindWindowClass(const std::string& name) {
    auto it = g_classes.find(Key(name.c_str()));
    return it == g_classes.end() ? nullptr : &it->second;
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
    if (!wc) return 0;
    WNDCLASSEXA ex{};
    ex.cbSize = sizeof ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszMenuName = wc->lpszMenuName;
    ex.lpszClassName = wc->lpszClassName;
    return RegisterClassExA(&ex);
}

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    // 48 is the record's size where pointers are 32 bits; programs written for it pass that.
    if (!wc || (wc->cbSize != sizeof(WNDCLASSEXA) && wc->cbSize != 48)) return 0;
    if (!wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName)) return 0;
    WindowClass c;
    c.name = wc->lpszClassName;
    c.style = wc->style;
    c.proc = wc->lpfnWndProc;
    c.instance = wc->hInstance;
    c.icon = wc->hIcon;
    c.cursor = wc->hCursor;
    c.background = wc->hbrBackground;
    c.smallIcon = wc->hIconSm;
    if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName)) c.menuName = wc->lpszMenuName;
    return Register(c);
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR className, WNDCLASSEXA* out) {
    if (!className || IS_INTRESOURCE(className) || !out) return FALSE;
    const WindowClass* c = FindWindowClass(className);
    if (!c) return FALSE;
    out->cbSize = sizeof(WNDCLASSEXA);
    out->style = c->style;
    out->lpfnWndProc = c->proc;
    out->cbClsExtra = 0;
    out->cbWndExtra = 0;
    out->hInstance = c->instance;
    out->hIcon = c->icon;
    out->hCursor = c->cursor;
    out->hbrBackground = c->background;
    out->lpszMenuName = nullptr;
    out->lpszClassName = c->name.c_str();
    out->hIconSm = c->smallIcon;
    return TRUE;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    if (!className || IS_INTRESOURCE(className)) return FALSE;
    return g_classes.erase(Key(className)) ? TRUE : FALSE;
}

HINSTANCE GetModuleHandleA(LPCSTR moduleName) {
    // The program is the only module; other names are not ours to find.
    return moduleName ? 0 : 0x400000u;
}

int GetStartupShowCommand() {
    return SW_SHOWDEFAULT;
}

} // namespace platform
