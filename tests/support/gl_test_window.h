// A real OpenGL context for tests: a hidden top-level window made through the platform
// layer on SDL's offscreen driver (Mesa), its context current on the calling thread.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

namespace test_support {

class GlTestWindow {
  public:
    explicit GlTestWindow(int width = 800, int height = 600);
    ~GlTestWindow();
    GlTestWindow(const GlTestWindow&) = delete;
    GlTestWindow& operator=(const GlTestWindow&) = delete;

    platform::HWND Window() const { return wnd_; }
    platform::HDC Dc() const { return dc_; }
    platform::HGLRC Context() const { return rc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The back buffer's pixels, RGBA, bottom row first (as glReadPixels gives them).
    std::vector<uint8_t> ReadPixels() const;
    // One pixel at (x, y) counted from the top-left corner of the picture.
    uint32_t PixelAt(int x, int y) const; // 0xRRGGBBAA

  private:
    int width_, height_;
    platform::HWND wnd_ = 0;
    platform::HDC dc_ = 0;
    platform::HGLRC rc_ = 0;
};

} // namespace test_support
