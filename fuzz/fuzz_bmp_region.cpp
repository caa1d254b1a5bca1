// libFuzzer target for BMP loading and bitmap-to-region: any bytes, as a file, give either
// 0 with nothing left behind, or a region inside the picture that is the only object made.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

#include "../platform/src/gdi_internal.h"
#include "lumora/image_button.h"
#include "platform/win32.h"

namespace {

int g_file = -1; // in-memory file that holds the current input
char g_path[64]; // its name as the loader opens it

// Pictures above this many pixels are within the loader's limits but make every run take
// seconds and hundreds of megabytes (a few bytes of RLE can declare them); the loader treats
// them like any other size, so they are left out here.
constexpr int64_t kMaxFuzzPixels = int64_t{1} << 22;

bool Setup() {
    g_file = memfd_create("fuzz_bmp_region", 0);
    if (g_file < 0) std::abort();
    std::snprintf(g_path, sizeof g_path, "/proc/self/fd/%d", g_file);
    return true;
}

int64_t DeclaredPixels(const uint8_t* d, size_t size) {
    if (size < 26) return 0;
    const uint32_t header = d[14] | d[15] << 8 | d[16] << 16 | uint32_t{d[17]} << 24;
    if (header == 12) return int64_t{d[18] | d[19] << 8} * (d[20] | d[21] << 8);
    const int32_t w =
        static_cast<int32_t>(d[18] | d[19] << 8 | d[20] << 16 | uint32_t{d[21]} << 24);
    const int32_t h =
        static_cast<int32_t>(d[22] | d[23] << 8 | d[24] << 16 | uint32_t{d[25]} << 24);
    return std::llabs(int64_t{w}) * std::llabs(int64_t{h});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = Setup();
    (void)ready;
    if (DeclaredPixels(data, size) > kMaxFuzzPixels) return -1;
    if (ftruncate(g_file, 0) != 0 || pwrite(g_file, data, size, 0) != ssize_t(size)) std::abort();

    const size_t objects = platform::gdi::LiveGdiObjects();
    const size_t blocks = platform::gdi::LiveGlobalBlocks();

    platform::HPALETTE pal = 0;
    const platform::HBITMAP bmp = Lumora::LoadBMPFromFile(g_path, pal);
    platform::BITMAP bm{};
    if (bmp) {
        if (!pal || platform::GetObjectA(bmp, sizeof bm, &bm) != sizeof bm) std::abort();
        if (bm.bmWidth <= 0 || bm.bmHeight <= 0 || !bm.bmBits) std::abort();
        // Touch both ends, so a buffer smaller than the picture shows under ASan.
        const auto* bits = static_cast<const volatile uint8_t*>(bm.bmBits);
        (void)bits[0];
        (void)bits[size_t(bm.bmWidthBytes) * size_t(bm.bmHeight) - 1];
        platform::DeleteObject(bmp);
        platform::DeleteObject(pal);
    } else if (pal != 0) {
        std::abort(); // Pal is written only on success
    }
    if (platform::gdi::LiveGdiObjects() != objects) std::abort();

    const platform::HRGN rgn = Lumora::BitmapToRegion(g_path, 0x00FF00FF, 1);
    if (bool(rgn) != bool(bmp)) std::abort(); // same file, same verdict
    if (rgn) {
        if (platform::gdi::LiveGdiObjects() != objects + 1) std::abort();
        platform::RECT box{};
        const int kind = platform::GetRgnBox(rgn, &box);
        if (kind == platform::RGN_ERROR) std::abort();
        if (kind != platform::NULLREGION &&
            (box.left < 0 || box.top < 0 || box.right > bm.bmWidth || box.bottom > bm.bmHeight))
            std::abort();
        platform::DeleteObject(rgn);
    }
    if (platform::gdi::LiveGdiObjects() != objects) std::abort();
    if (platform::gdi::LiveGlobalBlocks() != blocks) std::abort();
    return 0;
}
