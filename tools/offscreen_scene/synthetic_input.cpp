// Real SDL events for the user's keys and mouse, aimed at a top-level window by its SDL id.
#include "synthetic_input.h"

#include <SDL.h>

#include "platform/hooks.h"

namespace synthetic {

void PushKey(platform::HWND topLevel, int32_t keycode, int scancode, bool down, uint16_t mods,
             bool repeat) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = platform::hooks::SdlWindowIdOf(topLevel);
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = keycode;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    e.key.keysym.mod = mods;
    SDL_PushEvent(&e);
}

void PushMouseMove(platform::HWND topLevel, int x, int y, uint32_t state) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = platform::hooks::SdlWindowIdOf(topLevel);
    e.motion.x = x;
    e.motion.y = y;
    e.motion.state = state;
    SDL_PushEvent(&e);
}

void PushMouseButton(platform::HWND topLevel, int button, bool down, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = platform::hooks::SdlWindowIdOf(topLevel);
    e.button.button = static_cast<Uint8>(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void PushWindowClose(platform::HWND topLevel) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = platform::hooks::SdlWindowIdOf(topLevel);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
}

void PushQuit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

void PushFocusGained(platform::HWND topLevel) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = platform::hooks::SdlWindowIdOf(topLevel);
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&e);
}

} // namespace synthetic
