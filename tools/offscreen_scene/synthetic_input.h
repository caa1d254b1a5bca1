// The user's keyboard and mouse as real SDL events pushed at a top-level window; the
// library's pump then translates them like any other input.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace synthetic {

// keycode and scancode are SDL's; mods an SDL_Keymod mask.
void PushKey(platform::HWND topLevel, int32_t keycode, int scancode, bool down, uint16_t mods = 0,
             bool repeat = false);
// Position in the top-level window's client area; state is SDL's button mask.
void PushMouseMove(platform::HWND topLevel, int x, int y, uint32_t state = 0);
// button: 1 left, 2 middle, 3 right (SDL's numbering).
void PushMouseButton(platform::HWND topLevel, int button, bool down, int x, int y);
void PushWindowClose(platform::HWND topLevel);
void PushFocusGained(platform::HWND topLevel);
void PushQuit();

} // namespace synthetic
