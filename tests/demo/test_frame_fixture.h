// The demo's scene for frame tests: a real GL context set up as the demo's start-up does,
// a sprite sheet of our own in the demo's file name, and helpers to draw and read frames.
#pragma once

#include <unistd.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "demo.h"
#include "gl_test_window.h"
#include "lumora/render.h"
#include "lumora/window.h"

namespace frame_test {

// Sky and ground as 8-bit colours: the clear colour and glColor3f(1, 0.4, 0).
constexpr std::array<uint8_t, 3> Sky = {119, 186, 254};
constexpr std::array<uint8_t, 3> Ground = {255, 102, 0};

// Writes an uncompressed 32-bit TGA sprite sheet of 8 x 4 cells of 16 x 16 texels: a soft
// puff per cell, premultiplied, each cell of its own size and brightness.
inline void WriteSpriteSheet(const std::filesystem::path& file) {
    constexpr int W = 128, H = 64, Cell = 16;
    std::vector<uint8_t> data = {0, 0, 2, 0,        0,      0,        0,      0,  0,
                                 0, 0, 0, W & 0xFF, W >> 8, H & 0xFF, H >> 8, 32, 8};
    for (int fileRow = 0; fileRow < H; ++fileRow) {
        const int y = H - 1 - fileRow; // rows are stored bottom up
        for (int x = 0; x < W; ++x) {
            const int c = x / Cell, r = y / Cell;
            const double dx = x % Cell - 7.5, dy = y % Cell - 7.5;
            const double radius = 4.5 + (c + 2 * r) % 4;
            const double a = std::clamp(1.0 - std::sqrt(dx * dx + dy * dy) / radius, 0.0, 1.0);
            const double grey = 140.0 + 12.0 * c + 10.0 * r;
            const auto v = static_cast<uint8_t>(grey * a);
            data.insert(data.end(), {v, v, static_cast<uint8_t>(std::min(255.0, v * 1.05)),
                                     static_cast<uint8_t>(255.0 * a)});
        }
    }
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

class DemoScene : public testing::Test {
  protected:
    void SetUp() override {
        Lumora::Width = 800;
        Lumora::Height = 600;
        // The demo's start-up after the window exists.
        Lumora::OpenGL_Init(CloudsDemo::SceneDepth, CloudsDemo::SkyA, CloudsDemo::SkyR,
                            CloudsDemo::SkyG, CloudsDemo::SkyB);
        Lumora::SetGLRefractive();
        Lumora::SetGLLight(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
    }

    // The demo's OpenGL_CreateList, run where its texture file is our sprite sheet.
    void LoadSheetAndSeed() {
        const auto dir =
            std::filesystem::temp_directory_path() / ("frame_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        WriteSpriteSheet(dir / CloudsDemo::TextureFile);
        const auto back = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        CloudsDemo::OpenGL_CreateList();
        std::filesystem::current_path(back);
        std::filesystem::remove_all(dir);
    }

    // One pass of the demo's loop body without the message pump, read back.
    std::vector<uint8_t> Frame() {
        glClear(GL_COLOR_BUFFER_BIT);
        CloudsDemo::OpenGL_Draw();
        glFinish();
        return win.ReadPixels();
    }

    static std::array<uint8_t, 3> Rgb(const std::vector<uint8_t>& px, int x, int yFromTop) {
        const size_t i = (static_cast<size_t>(599 - yFromTop) * 800 + static_cast<size_t>(x)) * 4;
        return {px[i], px[i + 1], px[i + 2]};
    }

    test_support::GlTestWindow win{800, 600};
};

} // namespace frame_test
