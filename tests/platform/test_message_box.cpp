// Message boxes: the responder seam, the Windows-1252 texts, and the fallback to standard
// error when no box can be shown.
#include <gtest/gtest.h>

#include <cstdlib>

#include "message_boxes.h"
#include "platform/hooks.h"
#include "platform/win32.h"

using namespace platform;

TEST(MessageBox, TheResponderSeesTheBoxAndAnswersIt) {
    test_support::SetMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxA(0, "Settare lo schermo intero?  ", "Video!", MB_YESNO | MB_ICONQUESTION),
              IDNO);
    auto& boxes = test_support::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Settare lo schermo intero?  ");
    EXPECT_EQ(boxes[0].caption, "Video!");
    EXPECT_EQ(boxes[0].type, 0x24u);
}

TEST(MessageBox, Windows1252BecomesUtf8) {
    EXPECT_EQ(hooks::Cp1252ToUtf8("non \xE8 stata"), "non \xC3\xA8 stata");
    EXPECT_EQ(hooks::Cp1252ToUtf8("\x80 \x93x\x94"), "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D");
    EXPECT_EQ(hooks::Cp1252ToUtf8("plain"), "plain");
}

TEST(MessageBox, WithoutADisplayTheTextGoesToStandardErrorAndTheResultIsZero) {
    hooks::SetMessageBoxResponder(nullptr);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    const int result =
        MessageBoxA(0, "la rispettiva applicazione non \xE8 stata inizilizata!", "Error", MB_OK);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, 0);
    EXPECT_NE(err.find("Error"), std::string::npos);
    EXPECT_NE(err.find("la rispettiva applicazione non \xC3\xA8 stata inizilizata!"),
              std::string::npos);
    test_support::InstallMessageBoxRecorder();
}
