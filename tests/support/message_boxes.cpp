#include "message_boxes.h"

#include "platform/win_types.h"

namespace test_support {

namespace {
int g_answer = platform::IDOK; // answer for the boxes the recorder takes
} // namespace

std::vector<platform::hooks::MessageBoxCall>& RecordedMessageBoxes() {
    static std::vector<platform::hooks::MessageBoxCall> boxes;
    return boxes;
}

void SetMessageBoxAnswer(int answer) {
    g_answer = answer;
}

void InstallMessageBoxRecorder() {
    platform::hooks::SetMessageBoxResponder([](const platform::hooks::MessageBoxCall& call) {
        RecordedMessageBoxes().push_back(call);
        return g_answer;
    });
}

} // namespace test_support
