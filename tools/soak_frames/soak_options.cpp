// Command line of soak_frames: strict whole numbers in stated ranges, nothing guessed.
#include "soak_options.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace soak {

namespace {

constexpr int64_t MaxFrames = 1000000000;
constexpr int MinSide = 16, MaxSide = 4096;
constexpr int64_t DefaultWarmupCap = 5000; // enough for every key and layer to have come by

bool ParseWhole(const char* text, int64_t low, int64_t high, int64_t& value) {
    const char* end = text + std::strlen(text);
    int64_t v = 0;
    const auto [p, ec] = std::from_chars(text, end, v);
    if (ec != std::errc() || p != end || p == text || v < low || v > high) return false;
    value = v;
    return true;
}

} // namespace

std::string UsageText(const char* program) {
    return std::string("Usage: ") + program +
           " [--frames N] [--width W] [--height H] [--report-every N] [--warmup N]\n"
           "       [--rss-tolerance-kb K] [--rss-abort-kb A]\n"
           "Runs the cloud demo's frame loop offscreen with keys 1-7, S held and mouse drags\n"
           "arriving at a steady rate, and samples resident memory and the GL texture and\n"
           "display-list names in use. Exits 1 if either grows after the warm-up (memory by\n"
           "more than K kB, default 4096; names by any), if the input stops reaching the\n"
           "frame, or if the window goes; 2 on a bad command line. A run whose memory grows\n"
           "by more than A kB (default 1048576) stops there, before it exhausts the machine.\n"
           "Defaults: 100000 frames at 320x240, a sample every tenth of the run, warm-up of a\n"
           "fifth of the run up to 5000 frames.\n";
}

std::string ParseOptions(int argc, char** argv, SoakOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        struct Numeric {
            const char* name;
            int64_t low, high;
        };
        static constexpr Numeric Known[] = {
            {"--frames", 1, MaxFrames},
            {"--width", MinSide, MaxSide},
            {"--height", MinSide, MaxSide},
            {"--report-every", 1, MaxFrames},
            {"--warmup", 0, MaxFrames},
            {"--rss-tolerance-kb", 0, int64_t{1} << 30},
            {"--rss-abort-kb", 1, int64_t{1} << 30},
        };
        const auto it = std::find_if(std::begin(Known), std::end(Known),
                                     [&](const Numeric& k) { return name == k.name; });
        if (it == std::end(Known)) return "unknown option " + name + " (try --help)";
        if (i + 1 >= argc) return name + " needs a value";
        int64_t value = 0;
        if (!ParseWhole(argv[++i], it->low, it->high, value))
            return name + " takes a whole number from " + std::to_string(it->low) + " to " +
                   std::to_string(it->high) + ", not \"" + argv[i] + "\"";
        if (name == "--frames")
            options.frames = value;
        else if (name == "--width")
            options.width = static_cast<int>(value);
        else if (name == "--height")
            options.height = static_cast<int>(value);
        else if (name == "--report-every")
            options.reportEvery = value;
        else if (name == "--warmup")
            options.warmup = value;
        else if (name == "--rss-tolerance-kb")
            options.rssToleranceKb = value;
        else
            options.rssAbortKb = value;
    }
    if (options.reportEvery == 0) options.reportEvery = std::max<int64_t>(1, options.frames / 10);
    if (options.warmup < 0) options.warmup = std::min(options.frames / 5, DefaultWarmupCap);
    if (options.warmup >= options.frames)
        return "--warmup must be less than --frames, or nothing is left to watch";
    return "";
}

} // namespace soak
