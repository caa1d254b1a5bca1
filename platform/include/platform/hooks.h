// Seams for tests and tools: answer message boxes without a person, and reach the
// platform window behind a handle when input has to be injected as a user would make it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win_types.h"

namespace platform::hooks {

struct MessageBoxCall {
    HWND owner;
    std::string text;    // as given, Windows-1252 bytes
    std::string caption; // as given, Windows-1252 bytes
    UINT type;
};

// While a responder is installed every MessageBoxA goes to it instead of the screen and
// returns its answer; an empty function restores the real boxes.
using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

// SDL's window id of a top-level window (0 for children, stale or 0 handles), so that a
// test can push real SDL events at it.
uint32_t SdlWindowIdOf(HWND wnd);

// Windows-1252 to UTF-8, as the boxes and standard error show texts.
std::string Cp1252ToUtf8(const std::string& text);

} // namespace platform::hooks
