// The Win32-shaped operations the library calls, provided on Linux by our own code.
#pragma once

#include "platform/win_types.h"
#include "platform/win_window.h"
#include "platform/win_gl.h"
#include "platform/win_gdi.h"
