// Real SDL input events pushed at a window, as the user's keyboard and mouse would make
// them; the library's pump then translates them like any other.
#pragma once

#include "synthetic_input.h"

namespace test_support {

using synthetic::PushFocusGained;
using synthetic::PushKey;
using synthetic::PushMouseButton;
using synthetic::PushMouseMove;
using synthetic::PushQuit;
using synthetic::PushWindowClose;

} // namespace test_support
