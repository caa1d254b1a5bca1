// One cycle of input: a digit key pressed and released, S held for one layer step, a left
// drag out and back, a right drag down and back. Every drag returns to where it began, so
// the view comes back to its start after each cycle and any lost event shows.
#include "soak_input.h"

#include <SDL.h>

#include <iterator>

#include "demo.h"
#include "lumora/window.h"
#include "offscreen_scene.h"
#include "synthetic_input.h"

namespace soak {

namespace {

constexpr int DigitKeys = 7;          // keys 1..7, one per cycle in turn
constexpr int LayerChoices = 4;       // SelNube 0..3
constexpr int TurnX = 40, TurnY = 30; // left drag, pixels: YRot += 40, XRot += 30 at speed 2
constexpr int ZoomY = 40;             // right drag down, pixels: Depth -= 8 at speed 2

// Frame offsets within the cycle. S is held for 11 frames: one layer step comes on the
// 7th held frame and the next not before the 17th, so a frame or two of delay in the
// queue changes nothing.
enum : int64_t {
    DigitDown = 0,
    DigitUp = 2,
    SDown = 4,
    SUp = 15,
    LeftDown = 20,
    LeftOut = 22,
    LeftBack = 24,
    LeftUp = 26,
    RightDown = 30,
    RightOut = 32,
    RightBack = 34,
    RightUp = 36,
};

void Key(SDL_Keycode sym, SDL_Scancode scancode, bool down) {
    synthetic::PushKey(Lumora::HWindow, sym, scancode, down);
}

void Digit(int digit, bool down) {
    Key(SDLK_1 + (digit - 1), static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (digit - 1)), down);
}

void Button(int button, bool down, int x, int y) {
    synthetic::PushMouseButton(Lumora::HWindow, button, down, x, y);
}

void Move(int x, int y, int button) {
    synthetic::PushMouseMove(Lumora::HWindow, x, y, SDL_BUTTON(button));
}

int DigitOfCycle(int64_t cycle) {
    return static_cast<int>(cycle % DigitKeys) + 1;
}

void Mismatch(std::string& wrong, const char* what, double actual, double wanted) {
    wrong += std::string(what) + " is " + std::to_string(actual) + ", not " +
             std::to_string(wanted) + "; ";
}

} // namespace

void PushInputBefore(int64_t frame) {
    const int64_t cycle = frame / CycleFrames;
    const int cx = Lumora::Width / 2, cy = Lumora::Height / 2;
    switch (frame % CycleFrames) {
    case DigitDown:
        Digit(DigitOfCycle(cycle), true);
        break;
    case DigitUp:
        Digit(DigitOfCycle(cycle), false);
        break;
    case SDown:
        Key(SDLK_s, SDL_SCANCODE_S, true);
        break;
    case SUp:
        Key(SDLK_s, SDL_SCANCODE_S, false);
        break;
    case LeftDown:
        Button(SDL_BUTTON_LEFT, true, cx, cy);
        break;
    case LeftOut:
        Move(cx + TurnX, cy + TurnY, SDL_BUTTON_LEFT);
        break;
    case LeftBack:
        Move(cx, cy, SDL_BUTTON_LEFT);
        break;
    case LeftUp:
        Button(SDL_BUTTON_LEFT, false, cx, cy);
        break;
    case RightDown:
        Button(SDL_BUTTON_RIGHT, true, cx, cy);
        break;
    case RightOut:
        Move(cx, cy + ZoomY, SDL_BUTTON_RIGHT);
        break;
    case RightBack:
        Move(cx, cy, SDL_BUTTON_RIGHT);
        break;
    case RightUp:
        Button(SDL_BUTTON_RIGHT, false, cx, cy);
        break;
    default:
        break;
    }
}

std::string CheckAfterCycle(int64_t cycle) {
    std::string wrong;
    const int wantedType = DigitOfCycle(cycle) - 1;
    const int wantedLayer = static_cast<int>((cycle + 1) % LayerChoices);
    if (CloudsDemo::SelTipoNube != wantedType)
        Mismatch(wrong, "SelTipoNube", CloudsDemo::SelTipoNube, wantedType);
    if (CloudsDemo::SelNube != wantedLayer)
        Mismatch(wrong, "SelNube", CloudsDemo::SelNube, wantedLayer);
    // Out and back by the same whole amounts: exactly where the cycle began.
    if (Lumora::XRot != 0.0f) Mismatch(wrong, "XRot", Lumora::XRot, 0);
    if (Lumora::YRot != 0.0f) Mismatch(wrong, "YRot", Lumora::YRot, 0);
    if (Lumora::Depth != 0.0f) Mismatch(wrong, "Depth", Lumora::Depth, 0);
    wrong += offscreen::StillHeldInput();
    if (!wrong.empty()) wrong.resize(wrong.size() - 2);
    return wrong;
}

} // namespace soak
