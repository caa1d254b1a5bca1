// SDL2 behind the seam of backend_sdl.h: the only place that talks to SDL's video,
// event, GL, mouse and message-box functions.
#include "backend_sdl.h"

#include <GL/gl.h>
#include <SDL.h>

#include <vector>

namespace platform::sdl {

namespace {

bool g_videoStarted = false; // SDL video is up; set once by EnsureVideo
bool g_videoFailed = false;  // SDL video could not start; later calls do not retry

void ApplyGlAttributes(const GlAttributes& gl) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, gl.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, gl.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, gl.blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, gl.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, gl.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, gl.stencil);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, gl.accumRed);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, gl.accumGreen);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, gl.accumBlue);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, gl.accumAlpha);
    SDL_GL_SetAttribute(SDL_GL_STEREO, gl.stereo ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, gl.doubleBuffer ? 1 : 0);
    // Fixed-function GL 1.1 programs need a compatibility context.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
}

// Virtual-key code of a key, layout-aware for letters and digits as Windows is.
int VirtualKeyOf(const SDL_Keysym& key) {
    const SDL_Keycode k = key.sym;
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return 0x70 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 0x61 + (k - SDLK_KP_1);
    switch (k) {
    case SDLK_KP_0:
        return 0x60;
    case SDLK_KP_MULTIPLY:
        return 0x6A;
    case SDLK_KP_PLUS:
        return 0x6B;
    case SDLK_KP_MINUS:
        return 0x6D;
    case SDLK_KP_PERIOD:
        return 0x6E;
    case SDLK_KP_DIVIDE:
        return 0x6F;
    case SDLK_KP_ENTER:
        return 0x0D;
    case SDLK_ESCAPE:
        return 0x1B;
    case SDLK_RETURN:
        return 0x0D;
    case SDLK_SPACE:
        return 0x20;
    case SDLK_BACKSPACE:
        return 0x08;
    case SDLK_TAB:
        return 0x09;
    case SDLK_PAUSE:
        return 0x13;
    case SDLK_CAPSLOCK:
        return 0x14;
    case SDLK_PAGEUP:
        return 0x21;
    case SDLK_PAGEDOWN:
        return 0x22;
    case SDLK_END:
        return 0x23;
    case SDLK_HOME:
        return 0x24;
    case SDLK_LEFT:
        return 0x25;
    case SDLK_UP:
        return 0x26;
    case SDLK_RIGHT:
        return 0x27;
    case SDLK_DOWN:
        return 0x28;
    case SDLK_INSERT:
        return 0x2D;
    case SDLK_DELETE:
        return 0x2E;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return 0x10;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 0x11;
    case SDLK_LALT:
    case SDLK_RALT:
        return 0x12;
    case SDLK_SEMICOLON:
        return 0xBA;
    case SDLK_EQUALS:
        return 0xBB;
    case SDLK_COMMA:
        return 0xBC;
    case SDLK_MINUS:
        return 0xBD;
    case SDLK_PERIOD:
        return 0xBE;
    case SDLK_SLASH:
        return 0xBF;
    case SDLK_BACKQUOTE:
        return 0xC0;
    case SDLK_LEFTBRACKET:
        return 0xDB;
    case SDLK_BACKSLASH:
        return 0xDC;
    case SDLK_RIGHTBRACKET:
        return 0xDD;
    case SDLK_QUOTE:
        return 0xDE;
    default:
        break;
    }
    // Non-Latin layouts: fall back to the key's position for letters and digits.
    const SDL_Scancode s = key.scancode;
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) return 'A' + (s - SDL_SCANCODE_A);
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return '1' + (s - SDL_SCANCODE_1);
    if (s == SDL_SCANCODE_0) return '0';
    return 0;
}

unsigned ButtonBits(Uint32 state) {
    unsigned bits = 0;
    if (state & SDL_BUTTON_LMASK) bits |= 1u;
    if (state & SDL_BUTTON_MMASK) bits |= 2u;
    if (state & SDL_BUTTON_RMASK) bits |= 4u;
    return bits;
}

void FillModifiers(BackendEvent& e) {
    const SDL_Keymod mods = SDL_GetModState();
    e.shift = (mods & KMOD_SHIFT) != 0;
    e.ctrl = (mods & KMOD_CTRL) != 0;
    e.alt = (mods & KMOD_ALT) != 0;
}

bool Translate(const SDL_Event& in, BackendEvent& out) {
    out = BackendEvent{};
    switch (in.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out.kind = in.type == SDL_KEYDOWN ? BackendEvent::KeyDown : BackendEvent::KeyUp;
        out.windowId = in.key.windowID;
        out.vk = VirtualKeyOf(in.key.keysym);
        out.scancode = static_cast<int>(in.key.keysym.scancode);
        out.repeat = in.key.repeat != 0;
        FillModifiers(out);
        out.alt = (in.key.keysym.mod & KMOD_ALT) != 0;
        return out.vk != 0;
    case SDL_MOUSEMOTION:
        out.kind = BackendEvent::MouseMove;
        out.windowId = in.motion.windowID;
        out.x = in.motion.x;
        out.y = in.motion.y;
        out.buttons = ButtonBits(in.motion.state);
        FillModifiers(out);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        out.kind = in.type == SDL_MOUSEBUTTONDOWN ? BackendEvent::MouseDown : BackendEvent::MouseUp;
        out.windowId = in.button.windowID;
        out.x = in.button.x;
        out.y = in.button.y;
        out.button = in.button.button == SDL_BUTTON_LEFT     ? 1
                     : in.button.button == SDL_BUTTON_MIDDLE ? 2
                     : in.button.button == SDL_BUTTON_RIGHT  ? 3
                                                             : 0;
        out.buttons = ButtonBits(SDL_GetMouseState(nullptr, nullptr));
        // The state SDL reports may lag the event being translated; make it agree.
        const unsigned bit = out.button == 1   ? 1u
                             : out.button == 2 ? 2u
                             : out.button == 3 ? 4u
                                               : 0u;
        if (out.kind == BackendEvent::MouseDown)
            out.buttons |= bit;
        else
            out.buttons &= ~bit;
        FillModifiers(out);
        return out.button != 0;
    }
    case SDL_MOUSEWHEEL:
        out.kind = BackendEvent::MouseWheel;
        out.windowId = in.wheel.windowID;
        out.wheel = in.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -in.wheel.y : in.wheel.y;
        SDL_GetMouseState(&out.x, &out.y);
        out.buttons = ButtonBits(SDL_GetMouseState(nullptr, nullptr));
        FillModifiers(out);
        return out.wheel != 0;
    case SDL_WINDOWEVENT:
        out.windowId = in.window.windowID;
        switch (in.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out.kind = BackendEvent::WindowClose;
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            out.kind = BackendEvent::WindowExposed;
            return true;
        case SDL_WINDOWEVENT_ENTER:
            out.kind = BackendEvent::WindowEnter;
            return true;
        case SDL_WINDOWEVENT_LEAVE:
            out.kind = BackendEvent::WindowLeave;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.kind = BackendEvent::FocusGained;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.kind = BackendEvent::FocusLost;
            return true;
        default:
            return false;
        }
    case SDL_QUIT:
        out.kind = BackendEvent::Quit;
        return true;
    default:
        return false;
    }
}

} // namespace

bool EnsureVideo() {
    if (g_videoStarted) return true;
    if (g_videoFailed) return false;
    // A close box or a quit request reaches each window as its own close; SDL must not
    // turn the last window's close into a second, global quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The desktop is not switched into another mode for a full-screen window.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A driver asked for by name (the offscreen one, in tests and tools) is used as it is.
    // Otherwise only a real display will do: SDL would otherwise fall back to drawing
    // offscreen, and a program without a display would run unseen forever.
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    if (requested && *requested) {
        g_videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    } else {
        const char* const drivers[][2] = {{"x11", "DISPLAY"}, {"wayland", "WAYLAND_DISPLAY"}};
        for (const auto& d : drivers) {
            const char* display = SDL_getenv(d[1]);
            if (!display || !*display) continue;
            SDL_SetHint(SDL_HINT_VIDEODRIVER, d[0]);
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
                g_videoStarted = true;
                break;
            }
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
    }
    g_videoFailed = !g_videoStarted;
    // The GL library stays loaded for the whole run: SDL would otherwise load and unload
    // the driver with every GL window, format probes included.
    if (g_videoStarted) SDL_GL_LoadLibrary(nullptr);
    return g_videoStarted;
}

bool VideoStarted() {
    return g_videoStarted;
}

bool DesktopSize(int& width, int& height) {
    if (!EnsureVideo()) return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    width = mode.w;
    height = mode.h;
    return true;
}

uint32_t CreateTopLevel(const std::string& titleUtf8, int x, int y, int width, int height,
                        bool borderless, const GlAttributes& gl) {
    if (!EnsureVideo()) return 0;
    ApplyGlAttributes(gl);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (borderless) flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* w = SDL_CreateWindow(titleUtf8.c_str(), x, y, width > 0 ? width : 1,
                                     height > 0 ? height : 1, flags);
    return w ? SDL_GetWindowID(w) : 0;
}

void DestroyTopLevel(uint32_t id) {
    if (SDL_Window* w = SDL_GetWindowFromID(id)) SDL_DestroyWindow(w);
}

void ShowTopLevel(uint32_t id, bool show) {
    SDL_Window* w = SDL_GetWindowFromID(id);
    if (!w) return;
    if (show)
        SDL_ShowWindow(w);
    else
        SDL_HideWindow(w);
}

void SetTopLevelTitle(uint32_t id, const std::string& titleUtf8) {
    if (SDL_Window* w = SDL_GetWindowFromID(id)) SDL_SetWindowTitle(w, titleUtf8.c_str());
}

void SetTopLevelBounds(uint32_t id, int x, int y, int width, int height) {
    SDL_Window* w = SDL_GetWindowFromID(id);
    if (!w) return;
    SDL_SetWindowPosition(w, x, y);
    SDL_SetWindowSize(w, width > 0 ? width : 1, height > 0 ? height : 1);
}

bool TopLevelPosition(uint32_t id, int& x, int& y) {
    SDL_Window* w = SDL_GetWindowFromID(id);
    if (!w) return false;
    SDL_GetWindowPosition(w, &x, &y);
    return true;
}

bool ProbeGlAttributes(const GlAttributes& gl) {
    if (!EnsureVideo()) return false;
    ApplyGlAttributes(gl);
    SDL_Window* w = SDL_CreateWindow("probe", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!w) return false;
    SDL_DestroyWindow(w);
    return true;
}

void* CreateGlContext(uint32_t windowId, const GlAttributes& gl) {
    SDL_Window* w = SDL_GetWindowFromID(windowId);
    if (!w) return nullptr;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    ApplyGlAttributes(gl);
    SDL_GLContext context = SDL_GL_CreateContext(w);
    // Creating a context does not make it current; the caller's stays.
    if (previous && previousWindow)
        SDL_GL_MakeCurrent(previousWindow, previous);
    else
        SDL_GL_MakeCurrent(w, nullptr);
    return context;
}

bool MakeGlCurrent(uint32_t windowId, void* context) {
    if (!context) {
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
        return true;
    }
    SDL_Window* w = SDL_GetWindowFromID(windowId);
    if (!w) return false;
    return SDL_GL_MakeCurrent(w, static_cast<SDL_GLContext>(context)) == 0;
}

void DeleteGlContext(void* context) {
    if (context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

void* CurrentGlContext() {
    return g_videoStarted ? SDL_GL_GetCurrentContext() : nullptr;
}

void SwapGlWindow(uint32_t windowId) {
    SDL_Window* w = SDL_GetWindowFromID(windowId);
    if (!w) return;
    // The offscreen driver draws into a pbuffer, whose swap flushes nothing: Mesa would
    // pile up every frame's commands for ever. Finishing the frame here is what a swap to
    // a screen does anyway.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && SDL_strcmp(driver, "offscreen") == 0 && SDL_GL_GetCurrentContext()) glFinish();
    SDL_GL_SwapWindow(w);
}

bool PollEvent(BackendEvent& event) {
    if (!g_videoStarted) return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (Translate(e, event)) return true;
    }
    return false;
}

void WaitForEvent(int timeoutMs) {
    if (!g_videoStarted) {
        SDL_Delay(static_cast<Uint32>(timeoutMs));
        return;
    }
    SDL_PumpEvents();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) return;
    SDL_WaitEventTimeout(nullptr, timeoutMs);
}

int CharacterForKey(int vk) {
    const SDL_Keymod mods = g_videoStarted ? SDL_GetModState() : KMOD_NONE;
    const bool shift = (mods & KMOD_SHIFT) != 0;
    const bool caps = (mods & KMOD_CAPS) != 0;
    if ((mods & KMOD_CTRL) != 0) return 0;
    if (vk >= 'A' && vk <= 'Z') return (shift != caps) ? vk : vk + ('a' - 'A');
    if (vk >= '0' && vk <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        return shift ? shifted[vk - '0'] : vk;
    }
    if (vk >= 0x60 && vk <= 0x69) return '0' + (vk - 0x60);
    switch (vk) {
    case 0x20:
        return ' ';
    case 0x0D:
        return '\r';
    case 0x08:
        return '\b';
    case 0x09:
        return '\t';
    case 0x1B:
        return 0x1B;
    case 0x6A:
        return '*';
    case 0x6B:
        return '+';
    case 0x6D:
        return '-';
    case 0x6E:
        return '.';
    case 0x6F:
        return '/';
    case 0xBA:
        return shift ? ':' : ';';
    case 0xBB:
        return shift ? '+' : '=';
    case 0xBC:
        return shift ? '<' : ',';
    case 0xBD:
        return shift ? '_' : '-';
    case 0xBE:
        return shift ? '>' : '.';
    case 0xBF:
        return shift ? '?' : '/';
    case 0xC0:
        return shift ? '~' : '`';
    case 0xDB:
        return shift ? '{' : '[';
    case 0xDC:
        return shift ? '|' : '\\';
    case 0xDD:
        return shift ? '}' : ']';
    case 0xDE:
        return shift ? '"' : '\'';
    default:
        return 0;
    }
}

void CaptureMouse(bool on) {
    if (g_videoStarted) SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
}

bool GlobalMousePosition(int& x, int& y) {
    if (!g_videoStarted) return false;
    SDL_GetGlobalMouseState(&x, &y);
    return true;
}

void WarpMouseGlobal(int x, int y) {
    if (g_videoStarted) SDL_WarpMouseGlobal(x, y);
}

uint32_t KeyboardFocusWindow() {
    if (!g_videoStarted) return 0;
    SDL_Window* w = SDL_GetKeyboardFocus();
    return w ? SDL_GetWindowID(w) : 0;
}

void* CreateSystemCursor(uintptr_t idcKind) {
    if (!g_videoStarted) return nullptr;
    SDL_SystemCursor kind = SDL_SYSTEM_CURSOR_ARROW;
    switch (idcKind) {
    case 32513:
        kind = SDL_SYSTEM_CURSOR_IBEAM;
        break;
    case 32514:
        kind = SDL_SYSTEM_CURSOR_WAIT;
        break;
    case 32515:
        kind = SDL_SYSTEM_CURSOR_CROSSHAIR;
        break;
    case 32516:
        kind = SDL_SYSTEM_CURSOR_ARROW;
        break; // no up-arrow among SDL's shapes
    case 32640:
        kind = SDL_SYSTEM_CURSOR_SIZEALL;
        break;
    case 32642:
        kind = SDL_SYSTEM_CURSOR_SIZENWSE;
        break;
    case 32643:
        kind = SDL_SYSTEM_CURSOR_SIZENESW;
        break;
    case 32644:
        kind = SDL_SYSTEM_CURSOR_SIZEWE;
        break;
    case 32645:
        kind = SDL_SYSTEM_CURSOR_SIZENS;
        break;
    case 32646:
        kind = SDL_SYSTEM_CURSOR_SIZEALL;
        break;
    case 32648:
        kind = SDL_SYSTEM_CURSOR_NO;
        break;
    case 32649:
        kind = SDL_SYSTEM_CURSOR_HAND;
        break;
    case 32650:
        kind = SDL_SYSTEM_CURSOR_WAITARROW;
        break;
    case 32651:
        kind = SDL_SYSTEM_CURSOR_ARROW;
        break; // no help shape either
    default:
        break;
    }
    return SDL_CreateSystemCursor(kind);
}

void* CreateColorCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) {
    if (!g_videoStarted || !argb || width <= 0 || height <= 0) return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height,
                                                        32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return nullptr;
    SDL_Cursor* c = SDL_CreateColorCursor(s, hotX, hotY);
    SDL_FreeSurface(s);
    return c;
}

void ApplyCursor(void* cursor) {
    if (g_videoStarted && cursor) SDL_SetCursor(static_cast<SDL_Cursor*>(cursor));
}

void FreeCursor(void* cursor) {
    if (cursor) SDL_FreeCursor(static_cast<SDL_Cursor*>(cursor));
}

void SetWindowIcon(uint32_t windowId, const uint32_t* argb, int width, int height) {
    SDL_Window* w = SDL_GetWindowFromID(windowId);
    if (!w || !argb || width <= 0 || height <= 0) return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height,
                                                        32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return;
    SDL_SetWindowIcon(w, s);
    SDL_FreeSurface(s);
}

int ShowMessageBox(const std::string& captionUtf8, const std::string& textUtf8, BoxIcon icon,
                   const BoxButton* buttons, int buttonCount) {
    std::vector<SDL_MessageBoxButtonData> data;
    for (int i = 0; i < buttonCount; ++i) {
        Uint32 flags = 0;
        if (buttons[i].returnDefault) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (buttons[i].escapeDefault) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back(
            SDL_MessageBoxButtonData{flags, buttons[i].id, buttons[i].labelUtf8.c_str()});
    }
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (icon) {
    case BoxIcon::Information:
        box.flags |= SDL_MESSAGEBOX_INFORMATION;
        break;
    case BoxIcon::Warning:
        box.flags |= SDL_MESSAGEBOX_WARNING;
        break;
    case BoxIcon::Error:
        box.flags |= SDL_MESSAGEBOX_ERROR;
        break;
    case BoxIcon::None:
        break;
    }
    box.window = nullptr;
    box.title = captionUtf8.c_str();
    box.message = textUtf8.c_str();
    box.numbuttons = buttonCount;
    box.buttons = data.data();
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) return -1;
    if (pressed < 0) {
        // Closed by the window manager: that is the Escape button's answer.
        for (int i = 0; i < buttonCount; ++i)
            if (buttons[i].escapeDefault) return buttons[i].id;
        return buttonCount > 0 ? buttons[0].id : 0;
    }
    return pressed;
}

} // namespace platform::sdl
