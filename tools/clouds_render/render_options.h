// Command line of the offscreen renderer: what to show, how big, how many frames, where to.
#pragma once

#include <string>

namespace clouds_render {

// The demo's frame calls SetGLMouseMove(0, 2): a drag turns one degree per pixel and a
// right drag zooms 0.2 units per pixel.
constexpr int DemoMouseSpeed = 2;

struct RenderOptions {
    int type = 0;       // the user's cloud-type key 1..7; 0 presses none
    int layer = 0;      // wanted layer choice (SelNube) 0..3
    int xRot = 0;       // wanted XRot in whole degrees
    int yRot = 0;       // wanted YRot in whole degrees
    double depth = 0.0; // wanted Depth, a multiple of 0.2
    int width = 800;    // picture (or, with sheet, cell) size in pixels
    int height = 600;
    int frames = 1;          // frames drawn after the input; the last one is kept
    bool everyFrame = false; // write every one of those frames, numbered
    bool sheet = false;      // contact sheet of the seven types
    std::string output = "clouds.png";
    bool help = false;
};

// Fills options from the arguments; on a bad argument returns its message, else "".
std::string ParseOptions(int argc, char** argv, RenderOptions& options);

// The --help text.
std::string UsageText(const char* program);

// Pixels of vertical right drag that move Depth to options.depth from 0.
int DepthDragPixels(const RenderOptions& options);

} // namespace clouds_render
