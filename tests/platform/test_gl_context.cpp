// Pixel formats and contexts on the real GL of this machine (Mesa, offscreen).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_test_window.h"
#include "platform/win32.h"

using namespace platform;

namespace {

LRESULT PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND MakeWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "GLTest";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "GLTest", "gl", WS_POPUP, 0, 0, 64, 48, 0, 0, 0, nullptr);
}

TEST(PixelFormats, AnImpossibleRequestGetsTheNearestWorkingFormat) {
    const HWND wnd = MakeWindow();
    const HDC dc = GetDC(wnd);
    // What the library asks for with 32 bits: more than any system gives in every field.
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_STEREO | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.cColorBits = pfd.cAlphaBits = pfd.cAccumBits = pfd.cDepthBits = pfd.cStencilBits = 32;
    pfd.cAuxBuffers = 32;
    const int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_GT(format, 0);
    PIXELFORMATDESCRIPTOR got{};
    ASSERT_GE(DescribePixelFormat(dc, format, sizeof got, &got), format);
    EXPECT_GE(got.cDepthBits, 16) << "depth is kept as far as the system allows";
    EXPECT_TRUE(got.dwFlags & PFD_DOUBLEBUFFER);
    ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
    const HGLRC rc = wglCreateContext(dc);
    ASSERT_NE(rc, 0u);
    EXPECT_EQ(wglGetCurrentContext(), 0u) << "creating a context does not make it current";
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, got.cDepthBits);
    EXPECT_TRUE(wglMakeCurrent(dc, 0));
    EXPECT_TRUE(wglDeleteContext(rc));
    EXPECT_FALSE(wglDeleteContext(rc));
}

TEST(PixelFormats, NoFormatMeansNoContext) {
    const HWND wnd = MakeWindow();
    const HDC dc = GetDC(wnd);
    EXPECT_FALSE(SetPixelFormat(dc, 0, nullptr));
    EXPECT_EQ(wglCreateContext(dc), 0u);
    EXPECT_EQ(ChoosePixelFormat(0, nullptr), 0);
}

TEST(GlContext, DrawsAndSwapsAndSurvivesItsWindowBeingDestroyed) {
    test_support::GlTestWindow gl(64, 48);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(gl.PixelAt(10, 10), 0xFF0000FFu);
    EXPECT_TRUE(SwapBuffers(gl.Dc()));
    // Closing the window under a live context: drawing and swapping then have no effect.
    const HWND wnd = gl.Window();
    ASSERT_TRUE(DestroyWindow(wnd));
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_FALSE(SwapBuffers(gl.Dc()));
    EXPECT_TRUE(wglMakeCurrent(gl.Dc(), 0));
}

} // namespace
