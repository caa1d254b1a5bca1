// The user's keys and drags, pushed at the demo's window as real SDL events so that they
// reach the frame through the library's pump, one message per frame.
#pragma once

#include <string>

#include "render_options.h"

namespace clouds_render {

// From a freshly opened scene: one frame so that drags have their speed, then the layer
// (S held), the view (left drag), the zoom (right drag) and the cloud-type key. On failure
// returns the message, else "".
std::string ApplyInput(const RenderOptions& options);

// Presses and releases the cloud-type key 1..7.
std::string PressTypeKey(int key);

// Compares the demo's and library's state with what was asked for; "" when all agree,
// else a message naming every value that differs.
std::string CheckInput(const RenderOptions& options, int typeKey);

} // namespace clouds_render
