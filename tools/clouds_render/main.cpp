// clouds_render: the cloud demo's scene drawn offscreen, with the demo's own start-up and
// frame and the user's input through the library's pump, written to PNG.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "demo.h"
#include "picture.h"
#include "platform/hooks.h"
#include "platform/win_types.h"
#include "render_options.h"
#include "lumora/window.h"
#include "offscreen_scene.h"
#include "user_input.h"

namespace fs = std::filesystem;
using namespace clouds_render;

namespace {

constexpr int CloudTypeKeys = 7; // keys 1..7, one sheet cell each

int Fail(const std::string& message) {
    std::fprintf(stderr, "clouds_render: %s\n", message.c_str());
    offscreen::CloseScene();
    return 1;
}

std::string Save(const std::string& path, const Picture& picture) {
    if (auto e = WritePng(path, picture); !e.empty()) return e;
    std::printf("wrote %s (%dx%d)\n", path.c_str(), picture.width, picture.height);
    return "";
}

// Draws the requested frames and keeps the last, or writes each one as it comes.
std::string RenderFrames(const RenderOptions& options, const std::string& output, Picture& last) {
    for (int n = 1; n <= options.frames; ++n) {
        const bool keep = options.everyFrame || n == options.frames;
        const auto read = [&] { last = ReadBackBuffer(Lumora::Width, Lumora::Height); };
        if (!offscreen::RunFrame(keep ? std::function<void()>(read) : nullptr))
            return "the window closed while drawing";
        if (options.everyFrame)
            if (auto e = Save(NumberedPath(output, n), last); !e.empty()) return e;
    }
    return "";
}

} // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    if (auto e = ParseOptions(argc, argv, options); !e.empty()) {
        std::fprintf(stderr, "clouds_render: %s\n", e.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText(argv[0]).c_str(), stdout);
        return 0;
    }

    // The output is named from where the user stands, before any change of folder.
    std::error_code ec;
    const fs::path output = fs::absolute(options.output, ec).lexically_normal();
    const fs::path outDir = output.parent_path();
    if (ec || !fs::is_directory(outDir, ec)) {
        std::fprintf(stderr, "clouds_render: no folder %s for the output\n", outDir.c_str());
        return 1;
    }
    offscreen::Prepare("clouds_render", "the window could not be set up; nothing was written",
                       argv[0]);
    if (auto e = offscreen::OpenScene(options.width, options.height); !e.empty()) return Fail(e);
    if (auto e = ApplyInput(options); !e.empty()) return Fail(e);

    Picture picture;
    if (!options.sheet) {
        if (auto e = CheckInput(options, options.type); !e.empty())
            return Fail("the input did not reach the frame: " + e);
        if (auto e = RenderFrames(options, output.string(), picture); !e.empty()) return Fail(e);
        if (!options.everyFrame)
            if (auto e = Save(output.string(), picture); !e.empty()) return Fail(e);
    } else {
        std::vector<Picture> cells;
        for (int key = 1; key <= CloudTypeKeys; ++key) {
            if (auto e = PressTypeKey(key); !e.empty()) return Fail(e);
            if (auto e = CheckInput(options, key); !e.empty())
                return Fail("the input did not reach the frame: " + e);
            if (auto e = RenderFrames(options, output.string(), picture); !e.empty())
                return Fail(e);
            cells.push_back(picture);
        }
        if (auto e = Save(output.string(), ComposeSheet(cells)); !e.empty()) return Fail(e);
    }

    offscreen::CloseScene();
    return 0;
}
