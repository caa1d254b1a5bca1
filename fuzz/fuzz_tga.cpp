// libFuzzer target for the TGA reader: any bytes, as a file, give either an image of the
// declared size or exactly one message and false, with the file closed either way.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#include "lumora/textures.h"
#include "platform/hooks.h"
#include "platform/win_types.h"

namespace {

int g_boxes = 0; // message boxes shown during the current input
int g_file = -1; // in-memory file that holds the current input
char g_path[64]; // its name as the reader opens it

// Declared sizes above this are within the reader's limits but make the pixel buffer a
// multi-gigabyte allocation that libFuzzer's malloc limit reports as a crash; the reader
// handles them like any other size, so they are left out here.
constexpr uint64_t kMaxFuzzImageBytes = uint64_t{256} << 20;

bool Setup() {
    platform::hooks::SetMessageBoxResponder([](const platform::hooks::MessageBoxCall&) {
        ++g_boxes;
        return platform::IDOK;
    });
    g_file = memfd_create("fuzz_tga", 0);
    if (g_file < 0) std::abort();
    std::snprintf(g_path, sizeof g_path, "/proc/self/fd/%d", g_file);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = Setup();
    (void)ready;

    if (size >= 18) {
        const uint64_t bytes =
            uint64_t(data[12] | data[13] << 8) * (data[14] | data[15] << 8) * (data[16] / 8);
        if (data[2] == 10 && bytes > kMaxFuzzImageBytes && bytes <= UINT32_MAX) return -1;
    }

    if (ftruncate(g_file, 0) != 0 || pwrite(g_file, data, size, 0) != ssize_t(size)) std::abort();

    g_boxes = 0;
    Lumora::TGATexture texture = {};
    const bool loaded = Lumora::LoadTGA(texture, g_path);

    if (Lumora::FTGA.Fd != -1) std::abort(); // the file must be closed on every path
    if (loaded) {
        if (g_boxes != 0 || texture.ImageData == nullptr) std::abort();
        const size_t bytes = size_t{texture.Width} * texture.Height * (texture.BPP / 8);
        if (bytes != Lumora::TGA.ImageSize) std::abort();
        // Touch both ends, so a buffer smaller than the image shows under ASan.
        volatile uint8_t sink = texture.ImageData[0] ^ texture.ImageData[bytes - 1];
        (void)sink;
        std::free(texture.ImageData);
    } else {
        if (g_boxes != 1 || texture.ImageData != nullptr) std::abort();
    }
    return 0;
}
