// The demo's window and frame loop without a display: the program's own start-up, then
// frames drawn one at a time exactly as its loop draws them.
#pragma once

#include <string>

#include "picture.h"

namespace clouds_render {

// Opens the demo's window at this size on SDL's offscreen driver and runs the demo's
// start-up steps; on failure returns the message, else "".
std::string OpenScene(int width, int height);

// One pass of the demo's loop: clear, one message, the frame, the swap. With a picture,
// the back buffer is read before the swap. False once the window has gone.
bool RunFrame(Picture* picture = nullptr);

// Runs frames until the window's messages are all handled; on failure the message.
std::string DrainMessages();

// Width and height of the window's drawing surface.
int SceneWidth();
int SceneHeight();

void CloseScene();

} // namespace clouds_render
