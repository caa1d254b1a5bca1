// Command line of soak_frames.
#pragma once

#include <cstdint>
#include <string>

namespace soak {

struct SoakOptions {
    int64_t frames = 100000; // frames to draw after start-up
    int width = 320;         // window size in pixels
    int height = 240;
    int64_t reportEvery = 0;       // frames between samples; 0 means a tenth of the run
    int64_t warmup = -1;           // frames before the baseline sample; -1 means the default
    int64_t rssToleranceKb = 4096; // growth of resident memory allowed after warm-up
    int64_t rssAbortKb = 1 << 20;  // growth from the start at which the run stops at once
    bool help = false;
};

// Fills options from argv; on a bad command line returns the message, else "". Leaves
// reportEvery and warmup resolved to real frame counts.
std::string ParseOptions(int argc, char** argv, SoakOptions& options);

std::string UsageText(const char* program);

} // namespace soak
