// What windows need from cursors and icons: the pixels of an icon for the window's frame
// and the class cursor to show while the pointer is over a window.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win_types.h"

namespace platform {

// Pixels of a cursor or icon (0xAARRGGBB, top row first); false for unknown handles.
bool CursorIconPixels(HANDLE handle, std::vector<uint32_t>& argb, int& width, int& height);
// Shows the class cursor of the window under the pointer (nothing for 0).
void ShowClassCursor(HCURSOR cursor);

} // namespace platform
