// Pixel formats, OpenGL rendering contexts and buffer swaps.
#pragma once

#include "platform/win_types.h"

namespace platform {

// The closest format the system can give (aux buffers, stereo and accumulation are
// dropped first, then stencil, depth and alpha sizes are lowered); 0 only when none works.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* pfd);
HGLRC wglCreateContext(HDC dc);
BOOL wglMakeCurrent(HDC dc, HGLRC rc);
BOOL wglDeleteContext(HGLRC rc);
HGLRC wglGetCurrentContext();
// Composites the window's visible children over the GL frame, then shows the back buffer.
BOOL SwapBuffers(HDC dc);

} // namespace platform
