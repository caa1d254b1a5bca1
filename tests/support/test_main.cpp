// Shared main of the test programs: GL on SDL's offscreen driver, boxes answered by the
// recorder, so the suite needs no display and never waits.
#include <cstdlib>

#include <gtest/gtest.h>

#include "message_boxes.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    test_support::InstallMessageBoxRecorder();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
