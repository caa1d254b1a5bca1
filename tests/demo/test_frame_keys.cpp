// The frame's cloud-selection keys: digits choose the type, a held S steps the layer in
// the 7th held frame and every 10 frames after, and one frame without S restarts the count.
#include <gtest/gtest.h>

#include "demo.h"
#include "lumora/window.h"

using namespace CloudsDemo;

namespace {

void Hold(char key, bool down) {
    Lumora::SetKey[static_cast<unsigned char>(key)] = down ? -1 : 0;
}

// Frames drawn with S held; the key is up again afterwards, no frame drawn yet.
void HoldS(int frames) {
    Hold('S', true);
    for (int i = 0; i < frames; ++i)
        OpenGL_Keyboard();
    Hold('S', false);
}

} // namespace

TEST(FrameKeys, HeldSStepsTheLayerInThe7thFrameAndEvery10After) {
    struct Case {
        int Frames;
        int32_t SelNube, Timer;
    };
    const Case cases[] = {{1, 0, 1},  {6, 0, 6},  {7, 1, 7},  {9, 1, 9},  {10, 1, 0},
                          {16, 1, 6}, {17, 2, 7}, {27, 3, 7}, {37, 0, 7}, {47, 1, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Frames);
        SelNube = 0;
        Timer = 0;
        HoldS(c.Frames);
        EXPECT_EQ(SelNube, c.SelNube);
        EXPECT_EQ(Timer, c.Timer);
    }
}

TEST(FrameKeys, OneFrameWithoutSRestartsTheCount) {
    HoldS(6);
    OpenGL_Keyboard(); // S up
    EXPECT_EQ(Timer, 0);
    HoldS(6);
    EXPECT_EQ(SelNube, 0) << "two holds of 6 frames are not one of 12";
    OpenGL_Keyboard();
    HoldS(7);
    EXPECT_EQ(SelNube, 1);
}

TEST(FrameKeys, DigitsChooseTheTypeAndTheHighestHeldWins) {
    EXPECT_EQ(SelTipoNube, 1) << "CLOUD_NORMAL before any key";
    struct Case {
        const char* Held;
        int32_t Type;
    };
    const Case cases[] = {{"3", 2},       {"1", 0}, {"7", 6}, {"25", 4}, {"52", 4},
                          {"1234567", 6}, {"", 6},  {"8", 6}, {"0", 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Held);
        for (const char* k = c.Held; *k; ++k)
            Hold(*k, true);
        OpenGL_Keyboard();
        for (const char* k = c.Held; *k; ++k)
            Hold(*k, false);
        EXPECT_EQ(SelTipoNube, c.Type) << "the type stays after the keys go up";
    }
}

TEST(FrameKeys, LayerChoiceBeyondAllThreeWrapsToTheFirst) {
    SelNube = 3;
    HoldS(7);
    EXPECT_EQ(SelNube, 0);
    SelNube = 9; // set by a program: the keyboard step puts it back in range
    OpenGL_Keyboard();
    EXPECT_EQ(SelNube, 0);
}
