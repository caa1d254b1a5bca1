#include "gl_test_window.h"

#include <GL/gl.h>

#include <stdexcept>

namespace test_support {

namespace {

platform::LRESULT TestWindowProc(platform::HWND wnd, platform::UINT msg, platform::WPARAM wParam,
                                 platform::LPARAM lParam) {
    return platform::DefWindowProcA(wnd, msg, wParam, lParam);
}

const char* RegisteredClass() {
    static const char* name = [] {
        platform::WNDCLASSA wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.lpszClassName = "LumoraTestGL";
        platform::RegisterClassA(&wc);
        return "LumoraTestGL";
    }();
    return name;
}

} // namespace

GlTestWindow::GlTestWindow(int width, int height) : width_(width), height_(height) {
    using namespace platform;
    wnd_ = CreateWindowExA(0, RegisteredClass(), "test", WS_POPUP, 0, 0, width, height, 0, 0, 0,
                           nullptr);
    if (!wnd_) throw std::runtime_error("no test window");
    dc_ = GetDC(wnd_);
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.cColorBits = 32;
    pfd.cAlphaBits = 8;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    const int format = ChoosePixelFormat(dc_, &pfd);
    if (!format || !SetPixelFormat(dc_, format, &pfd)) throw std::runtime_error("no pixel format");
    rc_ = wglCreateContext(dc_);
    if (!rc_ || !wglMakeCurrent(dc_, rc_)) throw std::runtime_error("no GL context");
}

GlTestWindow::~GlTestWindow() {
    using namespace platform;
    wglMakeCurrent(0, 0);
    wglDeleteContext(rc_);
    ReleaseDC(wnd_, dc_);
    DestroyWindow(wnd_);
}

std::vector<uint8_t> GlTestWindow::ReadPixels() const {
    std::vector<uint8_t> pixels(static_cast<size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

uint32_t GlTestWindow::PixelAt(int x, int y) const {
    uint8_t p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, height_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

} // namespace test_support
