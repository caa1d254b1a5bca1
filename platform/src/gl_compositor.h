// Child windows (image buttons, the status bar) shown over a GL window's frame.
#pragma once

#include "window_tree.h"

namespace platform {

// Draws the visible, painted children of a top-level window over the current GL frame,
// clipped to their window regions, leaving the program's GL state as it was.
void CompositeChildren(const Window& top);

} // namespace platform
