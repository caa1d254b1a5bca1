// Every test program answers message boxes through a recorder, so no box ever waits for
// a person; tests read what was shown.
#pragma once

#include <string>
#include <vector>

#include "platform/hooks.h"

namespace test_support {

std::vector<platform::hooks::MessageBoxCall>& RecordedMessageBoxes();
// The answer the recorder gives to the next boxes (IDOK by default; IDYES/IDNO for MB_YESNO
// boxes is the caller's choice).
void SetMessageBoxAnswer(int answer);
// Installs the recorder (done by the shared main; call again after a test replaced it).
void InstallMessageBoxRecorder();

} // namespace test_support
