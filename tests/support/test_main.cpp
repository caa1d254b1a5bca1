// Shared main of the test programs: GL on SDL's offscreen driver, boxes answered by the
// recorder, so the suite needs no display and never waits.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "message_boxes.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // Where fixtures live and where the build put the programs and the texture (the test
    // programs are built into that same folder).
    setenv("LUMORA_TEST_DATA", LUMORA_TEST_DATA_DIR, 0);
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string dir(self, static_cast<size_t>(n));
        setenv("LUMORA_BIN_DIR", dir.substr(0, dir.rfind('/')).c_str(), 0);
    }
    test_support::InstallMessageBoxRecorder();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
