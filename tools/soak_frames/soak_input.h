// The synthetic user: keys and drags pushed at the demo's window as real SDL events, in a
// fixed cycle of frames, so that they reach the frame through the library's pump.
#pragma once

#include <cstdint>
#include <string>

namespace soak {

constexpr int64_t CycleFrames = 60; // one digit key, one S hold, one turn, one zoom

// Pushes whatever the cycle schedules before frame `frame` (counted from 0) is drawn.
void PushInputBefore(int64_t frame);

// After the last frame of cycle `cycle` (counted from 0): "" when the demo and the library
// hold the state that cycle's input leads to, else what differs.
std::string CheckAfterCycle(int64_t cycle);

} // namespace soak
