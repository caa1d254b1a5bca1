// clouds_render: the cloud demo's scene drawn offscreen, with the demo's own start-up and
// frame and the user's input through the library's pump, written to PNG.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "demo.h"
#include "picture.h"
#include "platform/hooks.h"
#include "platform/win_types.h"
#include "render_options.h"
#include "scene_session.h"
#include "user_input.h"

namespace fs = std::filesystem;
using namespace clouds_render;

namespace {

constexpr int CloudTypeKeys = 7; // keys 1..7, one sheet cell each

bool g_libraryRunning = false; // the scene is open and main has not returned; set by main

// The window layer ends the process with exit code 0 after its fatal messages; for this
// tool that is a failure, and scripts must see it as one.
void ExitFromInsideLibrary() {
    if (!g_libraryRunning) return;
    std::fputs("clouds_render: the window could not be set up; nothing was written\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

// Nobody is there to answer: show the box on standard error and take its default button.
int AnswerMessageBox(const platform::hooks::MessageBoxCall& box) {
    std::fprintf(stderr, "clouds_render: message box \"%s\": %s\n",
                 platform::hooks::Cp1252ToUtf8(box.caption).c_str(),
                 platform::hooks::Cp1252ToUtf8(box.text).c_str());
    std::fflush(stderr);
    return (box.type & 0x0F) == platform::MB_YESNO ? platform::IDYES : platform::IDOK;
}

// The demo reads its texture from the current folder; the build puts it beside the programs.
void FindTexture(const char* argv0) {
    const fs::path texture = CloudsDemo::TextureFile;
    std::error_code ec;
    if (fs::exists(texture, ec)) return;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) exe = fs::absolute(argv0, ec);
    const fs::path dir = exe.parent_path();
    if (!dir.empty() && fs::exists(dir / texture, ec) && chdir(dir.c_str()) == 0) return;
    std::fprintf(stderr,
                 "clouds_render: %s not found here or beside the program; the clouds "
                 "are drawn untextured\n",
                 CloudsDemo::TextureFile);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "clouds_render: %s\n", message.c_str());
    CloseScene();
    g_libraryRunning = false;
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
        if (!RunFrame(keep ? &last : nullptr)) return "the window closed while drawing";
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
    FindTexture(argv[0]);

    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    platform::hooks::SetMessageBoxResponder(AnswerMessageBox);
    std::atexit(ExitFromInsideLibrary);
    g_libraryRunning = true;

    if (auto e = OpenScene(options.width, options.height); !e.empty()) return Fail(e);
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

    CloseScene();
    g_libraryRunning = false;
    return 0;
}
