#include "handles.h"

namespace platform {

uint32_t NextHandleValue() {
    // Starts well away from 0 and from small integers that callers might pass by mistake.
    static uint32_t next = 0x1000;
    return ++next;
}

} // namespace platform
