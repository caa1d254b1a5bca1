// The demo's window and frame loop without a display: the program's own start-up, then
// frames drawn one at a time exactly as its loop draws them. Shared by the offscreen tools.
#pragma once

#include <functional>
#include <string>

namespace offscreen {

// Before anything else: SDL's offscreen driver, message boxes printed to standard error
// and answered with their default button (nobody is there to answer), the texture found
// beside the program when it is not in the current folder, and an exit code of 1 with
// `whyFailed` when the library ends the process itself after a fatal message.
void Prepare(const char* toolName, const char* whyFailed, const char* argv0);

// Opens the demo's window at this size and runs the demo's start-up steps; on failure
// returns the message, else "".
std::string OpenScene(int width, int height);

// One pass of the demo's loop: clear, one message, the frame, the swap; beforeSwap runs
// between the frame and the swap (to read the back buffer). False once the window is gone.
bool RunFrame(const std::function<void()>& beforeSwap = nullptr);

// Runs frames until the window's messages are all handled; on failure the message.
std::string DrainMessages();

// "" when no key and no mouse button is still down in the library's input state, else
// what is, ending in "; " (for a list of what differs from what was asked for).
std::string StillHeldInput();

// Width and height of the window's drawing surface.
int SceneWidth();
int SceneHeight();

// Deletes the window; from here on the process may end normally.
void CloseScene();

} // namespace offscreen
