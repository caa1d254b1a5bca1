// The seam between our Win32 semantics and SDL2: plain C++ calls and records, no SDL
// types. Events flow one way, from SDL into our queue, as BackendEvent records.
//
// [X] video start-up on demand, desktop size
// [X] top-level windows: create (with GL attributes), destroy, show, title, position, size
// [X] GL: attribute probes, contexts, make current, swap
// [X] events: keys (as virtual-key codes), mouse, window close/expose/enter, quit
// [X] mouse capture, global cursor position and warp, keyboard focus
// [X] system cursors, colour cursors, window icons
// [X] message boxes
// [ ] child windows: not SDL's business, they are our own window tree
#pragma once

#include <cstdint>
#include <string>

namespace platform::sdl {

// Starts SDL's video subsystem once; false when there is no display to open.
bool EnsureVideo();
bool VideoStarted();
bool DesktopSize(int& width, int& height);

struct GlAttributes {
    int red = 8, green = 8, blue = 8, alpha = 8;
    int depth = 24, stencil = 8;
    int accumRed = 0, accumGreen = 0, accumBlue = 0, accumAlpha = 0;
    bool stereo = false;
    bool doubleBuffer = true;
    bool operator==(const GlAttributes&) const = default;
};

// Window ids are SDL's; 0 means none.
uint32_t CreateTopLevel(const std::string& titleUtf8, int x, int y, int width, int height,
                        bool borderless, const GlAttributes& gl);
void DestroyTopLevel(uint32_t id);
void ShowTopLevel(uint32_t id, bool show);
void SetTopLevelTitle(uint32_t id, const std::string& titleUtf8);
void SetTopLevelBounds(uint32_t id, int x, int y, int width, int height);
bool TopLevelPosition(uint32_t id, int& x, int& y);

// True when a window with these attributes can be made here (a hidden probe window).
bool ProbeGlAttributes(const GlAttributes& gl);
// A context on the window, not left current (the caller's current context is restored).
void* CreateGlContext(uint32_t windowId, const GlAttributes& gl);
bool MakeGlCurrent(uint32_t windowId, void* context);
void DeleteGlContext(void* context);
void* CurrentGlContext();
void SwapGlWindow(uint32_t windowId);

struct BackendEvent {
    enum Kind {
        None,
        KeyDown,
        KeyUp,
        MouseMove,
        MouseDown,
        MouseUp,
        MouseWheel,
        WindowClose,
        WindowExposed,
        WindowEnter,
        WindowLeave,
        FocusGained,
        FocusLost,
        Quit
    };
    Kind kind = None;
    uint32_t windowId = 0;
    int vk = 0;           // virtual-key code for key events, 0 when the key has none
    int scancode = 0;     // hardware position, for the key message's lParam
    bool repeat = false;  // auto-repeat of a held key
    bool alt = false;     // Alt held with the key
    int x = 0, y = 0;     // mouse position in the window's client area (may be negative)
    int button = 0;       // 1 left, 2 middle, 3 right
    int wheel = 0;        // wheel steps, positive away from the user
    unsigned buttons = 0; // buttons held after the event: bit 0 left, 1 middle, 2 right
    bool shift = false, ctrl = false;
};

// Next pending event, translated; false when none is pending. Never blocks.
bool PollEvent(BackendEvent& event);
// Waits up to timeoutMs for an event to arrive (it is then read with PollEvent).
void WaitForEvent(int timeoutMs);

// The character a key gives with the modifiers now held, 0 when none.
int CharacterForKey(int vk);

void CaptureMouse(bool on);
bool GlobalMousePosition(int& x, int& y);
void WarpMouseGlobal(int x, int y);
uint32_t KeyboardFocusWindow();

// Cursors: kind is one of the IDC_ ids; pixels are 0xAARRGGBB, top row first.
void* CreateSystemCursor(uintptr_t idcKind);
void* CreateColorCursor(const uint32_t* argb, int width, int height, int hotX, int hotY);
void ApplyCursor(void* cursor);
void FreeCursor(void* cursor);
void SetWindowIcon(uint32_t windowId, const uint32_t* argb, int width, int height);

enum class BoxIcon { None, Information, Warning, Error };
struct BoxButton {
    int id;
    std::string labelUtf8;
    bool returnDefault;
    bool escapeDefault;
};
// The id of the button pressed, or -1 when no box could be shown.
int ShowMessageBox(const std::string& captionUtf8, const std::string& textUtf8, BoxIcon icon,
                   const BoxButton* buttons, int buttonCount);

} // namespace platform::sdl
