// Keys and drags as SDL events at the demo's window, each followed by frames until the pump
// has handled it, as a user's input arrives between frames.
#include "user_input.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "demo.h"
#include "lumora/window.h"
#include "offscreen_scene.h"
#include "synthetic_input.h"

namespace clouds_render {

namespace {

// Mouse positions travel as signed 16-bit values; one drag moves at most this far so that
// it stays well inside them, and longer drags are made of several.
constexpr int MaxDragStep = 16000;
constexpr int LayerFirstStep = 7; // held frame in which S first steps the layer
constexpr int LayerRepeat = 10;   // held frames between later steps

void PushKey(SDL_Keycode key, SDL_Scancode scancode, bool down) {
    synthetic::PushKey(Lumora::HWindow, key, scancode, down);
}

void PushButton(int button, bool down, int x, int y) {
    synthetic::PushMouseButton(Lumora::HWindow, button, down, x, y);
}

void PushMove(int x, int y, uint32_t buttons) {
    synthetic::PushMouseMove(Lumora::HWindow, x, y, buttons);
}

// One drag from the middle of the window: press, one move, release, each handled by the
// pump before the next arrives (the press takes the capture the move relies on).
std::string Drag(int button, int dx, int dy) {
    const int x = offscreen::SceneWidth() / 2, y = offscreen::SceneHeight() / 2;
    const uint32_t mask = SDL_BUTTON(button);
    PushButton(button, true, x, y);
    if (auto e = offscreen::DrainMessages(); !e.empty()) return e;
    PushMove(x + dx, y + dy, mask);
    if (auto e = offscreen::DrainMessages(); !e.empty()) return e;
    PushButton(button, false, x + dx, y + dy);
    return offscreen::DrainMessages();
}

// Drags of any length, split into steps that stay inside 16-bit positions.
std::string DragBy(int button, int dx, int dy) {
    while (dx != 0 || dy != 0) {
        const int sx = dx > MaxDragStep ? MaxDragStep : dx < -MaxDragStep ? -MaxDragStep : dx;
        const int sy = dy > MaxDragStep ? MaxDragStep : dy < -MaxDragStep ? -MaxDragStep : dy;
        if (auto e = Drag(button, sx, sy); !e.empty()) return e;
        dx -= sx;
        dy -= sy;
    }
    return "";
}

// Holds S for exactly as many frames as the wanted number of layer steps takes.
std::string StepLayers(int steps) {
    if (steps <= 0) return "";
    const int heldFrames = LayerFirstStep + LayerRepeat * (steps - 1);
    PushKey(SDLK_s, SDL_SCANCODE_S, true);
    // The queue is empty, so the first frame handles the key press and counts as held.
    for (int n = 0; n < heldFrames; ++n)
        if (!offscreen::RunFrame()) return "the window closed while S was held";
    PushKey(SDLK_s, SDL_SCANCODE_S, false);
    return offscreen::DrainMessages();
}

bool Near(float actual, double wanted) {
    return std::fabs(actual - wanted) <= 1e-3 * (std::fabs(wanted) > 1.0 ? std::fabs(wanted) : 1.0);
}

std::string Mismatch(const char* name, double actual, double wanted) {
    char line[160];
    std::snprintf(line, sizeof line, "%s is %g, %g was asked for; ", name, actual, wanted);
    return line;
}

} // namespace

std::string PressTypeKey(int key) {
    const SDL_Keycode sym = SDLK_1 + (key - 1);
    const auto scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (key - 1));
    PushKey(sym, scancode, true);
    if (auto e = offscreen::DrainMessages(); !e.empty()) return e;
    PushKey(sym, scancode, false);
    return offscreen::DrainMessages();
}

std::string ApplyInput(const RenderOptions& options) {
    // Drags change nothing until the first frame has set the mouse speed.
    if (!offscreen::RunFrame()) return "the window closed in the first frame";
    if (auto e = offscreen::DrainMessages(); !e.empty()) return e;
    if (Lumora::MSpeed != DemoMouseSpeed)
        return "the frame set mouse speed " + std::to_string(Lumora::MSpeed) + ", not " +
               std::to_string(DemoMouseSpeed);

    if (auto e = StepLayers(options.layer); !e.empty()) return e;
    // A left drag turns YRot by the horizontal and XRot by the vertical distance.
    const int turnX = options.yRot * 2 / DemoMouseSpeed;
    const int turnY = options.xRot * 2 / DemoMouseSpeed;
    if (auto e = DragBy(SDL_BUTTON_LEFT, turnX, turnY); !e.empty()) return e;
    if (auto e = DragBy(SDL_BUTTON_RIGHT, 0, DepthDragPixels(options)); !e.empty()) return e;
    if (options.type != 0)
        if (auto e = PressTypeKey(options.type); !e.empty()) return e;
    return "";
}

std::string CheckInput(const RenderOptions& options, int typeKey) {
    std::string wrong;
    // With no key pressed the demo's start type stays: CLOUD_NORMAL, key 2.
    const int wantedType = typeKey != 0 ? typeKey - 1 : 1;
    if (CloudsDemo::SelTipoNube != wantedType)
        wrong += Mismatch("SelTipoNube", CloudsDemo::SelTipoNube, wantedType);
    if (CloudsDemo::SelNube != options.layer)
        wrong += Mismatch("SelNube", CloudsDemo::SelNube, options.layer);
    if (!Near(Lumora::XRot, options.xRot)) wrong += Mismatch("XRot", Lumora::XRot, options.xRot);
    if (!Near(Lumora::YRot, options.yRot)) wrong += Mismatch("YRot", Lumora::YRot, options.yRot);
    if (!Near(Lumora::Depth, options.depth))
        wrong += Mismatch("Depth", Lumora::Depth, options.depth);
    wrong += offscreen::StillHeldInput();
    if (!wrong.empty()) wrong.resize(wrong.size() - 2);
    return wrong;
}

} // namespace clouds_render
