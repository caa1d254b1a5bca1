// Parsing of the renderer's command line; every value is checked before a window opens.
#include "render_options.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace clouds_render {

namespace {

constexpr int MinSide = 16;          // smallest picture side worth drawing the scene into
constexpr int MaxSide = 4096;        // largest window side the offscreen driver is asked for
constexpr int MaxFrames = 10000;     // frames after the input
constexpr int MaxAngle = 100000;     // degrees either way, reached by repeated drags
constexpr double MaxDepth = 10000.0; // scene units either way

bool ParseInt(std::string_view text, int& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc{} && ptr == end;
}

bool ParseNumber(std::string_view text, double& value) {
    const std::string copy(text);
    if (copy.empty()) return false;
    char* end = nullptr;
    value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() + copy.size() && std::isfinite(value);
}

// An angle is reached by dragging whole pixels, one degree each.
std::string ParseAngle(std::string_view name, std::string_view text, int& degrees) {
    double value = 0.0;
    if (!ParseNumber(text, value))
        return std::string(name) + ": not a number: " + std::string(text);
    if (std::fabs(value) > MaxAngle)
        return std::string(name) + ": at most " + std::to_string(MaxAngle) + " degrees either way";
    if (value != std::round(value))
        return std::string(name) +
               ": the view turns one degree per pixel dragged; give whole degrees";
    degrees = static_cast<int>(value);
    return "";
}

std::string ParseSize(std::string_view text, int& width, int& height) {
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos || !ParseInt(text.substr(0, x), width) ||
        !ParseInt(text.substr(x + 1), height))
        return "--size: expected WIDTHxHEIGHT, e.g. 800x600, not " + std::string(text);
    if (width < MinSide || height < MinSide || width > MaxSide || height > MaxSide)
        return "--size: each side must be " + std::to_string(MinSide) + " to " +
               std::to_string(MaxSide) + " pixels";
    return "";
}

} // namespace

int DepthDragPixels(const RenderOptions& options) {
    return static_cast<int>(std::lround(-options.depth * 10.0 / DemoMouseSpeed));
}

std::string ParseOptions(int argc, char** argv, RenderOptions& options) {
    bool sizeGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        bool inlineValue = false;
        if (arg.starts_with("--")) {
            if (const auto eq = arg.find('='); eq != std::string_view::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                inlineValue = true;
            }
        }
        const auto isFlag = [&](std::string_view shortName, std::string_view longName) {
            return arg == longName || (!shortName.empty() && arg == shortName);
        };
        // Fetches the option's value from "--name=value" or the next argument.
        std::string missing;
        const auto takeValue = [&]() -> bool {
            if (inlineValue) return true;
            if (i + 1 >= argc) {
                missing = std::string(arg) + ": a value is needed";
                return false;
            }
            value = argv[++i];
            return true;
        };
        const auto noValue = [&]() -> std::string {
            return inlineValue ? std::string(arg) + " takes no value" : std::string();
        };

        if (isFlag("-h", "--help")) {
            if (auto e = noValue(); !e.empty()) return e;
            options.help = true;
        } else if (isFlag("", "--sheet")) {
            if (auto e = noValue(); !e.empty()) return e;
            options.sheet = true;
        } else if (isFlag("", "--every-frame")) {
            if (auto e = noValue(); !e.empty()) return e;
            options.everyFrame = true;
        } else if (isFlag("-t", "--type")) {
            if (!takeValue()) return missing;
            if (!ParseInt(value, options.type) || options.type < 1 || options.type > 7)
                return "--type: a cloud-type key 1 to 7, not " + std::string(value);
        } else if (isFlag("-l", "--layer")) {
            if (!takeValue()) return missing;
            if (!ParseInt(value, options.layer) || options.layer < 0 || options.layer > 3)
                return "--layer: 0 to 3 (layer 1, 2, 3, all three), not " + std::string(value);
        } else if (isFlag("-x", "--xrot")) {
            if (!takeValue()) return missing;
            if (auto e = ParseAngle("--xrot", value, options.xRot); !e.empty()) return e;
        } else if (isFlag("-y", "--yrot")) {
            if (!takeValue()) return missing;
            if (auto e = ParseAngle("--yrot", value, options.yRot); !e.empty()) return e;
        } else if (isFlag("-d", "--depth")) {
            if (!takeValue()) return missing;
            if (!ParseNumber(value, options.depth))
                return "--depth: not a number: " + std::string(value);
            if (std::fabs(options.depth) > MaxDepth)
                return "--depth: at most " + std::to_string(static_cast<int>(MaxDepth)) +
                       " either way";
            const double pixels = -options.depth * 10.0 / DemoMouseSpeed;
            if (std::fabs(pixels - std::round(pixels)) > 1e-6)
                return "--depth: a right drag zooms 0.2 per pixel; give a multiple of 0.2";
        } else if (isFlag("-s", "--size")) {
            if (!takeValue()) return missing;
            if (auto e = ParseSize(value, options.width, options.height); !e.empty()) return e;
            sizeGiven = true;
        } else if (isFlag("-f", "--frames")) {
            if (!takeValue()) return missing;
            if (!ParseInt(value, options.frames) || options.frames < 1 ||
                options.frames > MaxFrames)
                return "--frames: 1 to " + std::to_string(MaxFrames) + ", not " +
                       std::string(value);
        } else if (isFlag("-o", "--output")) {
            if (!takeValue()) return missing;
            if (value.empty()) return "--output: an empty path";
            options.output = std::string(value);
        } else {
            return "unknown option " + std::string(argv[i]) + " (see --help)";
        }
    }
    if (options.sheet && options.everyFrame) return "--every-frame cannot be used with --sheet";
    if (options.sheet && options.type != 0) return "--type cannot be used with --sheet";
    if (options.sheet && !sizeGiven) {
        options.width = 280;
        options.height = 210;
    }
    return "";
}

std::string UsageText(const char* program) {
    std::string text = "Usage: ";
    text += program;
    text += R"( [options]
Renders the cloud demo's scene to a PNG picture without a display, with the demo's own
start-up and frame. Type, layer and view are chosen the way a user chooses them: key and
mouse input goes through the library's message pump, one message per frame.

  -t, --type N       press the cloud-type key N, 1 to 7 (the demo's types 0 to 6);
                     without it no key is pressed and the start type shows (key 2)
  -l, --layer N      layer choice 0 to 3: layer 1, 2, 3, or all three; reached by
                     holding S (default 0)
  -x, --xrot DEG     view angle XRot in whole degrees, by a vertical left drag
  -y, --yrot DEG     view angle YRot in whole degrees, by a horizontal left drag
  -d, --depth UNITS  zoom Depth, a multiple of 0.2, by a vertical right drag;
                     positive moves the scene away (default 0)
  -s, --size WxH     picture size in pixels (default 800x600); with --sheet the size of
                     each cell (default 280x210)
  -f, --frames N     frames drawn after the input (default 1); the last one is written
      --every-frame  write each of those frames instead, as NAME-0001.png, NAME-0002.png...
  -o, --output PATH  PNG file to write (default clouds.png)
      --sheet        contact sheet of the seven cloud types, keys 1 2 3 4 on the top
                     row and 5 6 7 below, left to right, with small gaps
  -h, --help         this text

The texture CloudsParticles4.tga is read from the current folder, or from the program's
own folder when it is there instead; without it the clouds are untextured quads.
Exit code 0 on success, 1 when rendering fails, 2 on a bad command line.
)";
    return text;
}

} // namespace clouds_render
