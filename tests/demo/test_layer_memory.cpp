// The three layers are about 780 MB of zero-filled static storage; only the pages that
// seeding writes (and drawing then reads) may ever become resident.
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "demo.h"
#include "gl_test_window.h"
#include "lumora/window.h"

namespace {

// Resident pages of one layer, asked of the kernel without touching the layer.
size_t ResidentPages(const void* begin, size_t bytes) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t first = reinterpret_cast<uintptr_t>(begin) / page * page;
    const uintptr_t last = reinterpret_cast<uintptr_t>(begin) + bytes;
    const size_t pages = (last - first + page - 1) / page;
    std::vector<unsigned char> resident(pages);
    if (mincore(reinterpret_cast<void*>(first), last - first, resident.data()) != 0) return SIZE_MAX;
    size_t n = 0;
    for (unsigned char r : resident) n += r & 1u;
    return n;
}

size_t LayersResident() {
    using namespace CloudsDemo;
    return ResidentPages(Nubi1, sizeof Nubi1) + ResidentPages(Nubi2, sizeof Nubi2) +
           ResidentPages(Nubi3, sizeof Nubi3);
}

TEST(LayerMemory, OnlyTheSeededFieldsPagesBecomeResident) {
    using namespace CloudsDemo;
    static_assert(sizeof Nubi1 > 250u * 1000 * 1000, "a layer is about 260 MB");
    ASSERT_NE(LayersResident(), SIZE_MAX);
    EXPECT_LE(LayersResident(), 3u) << "nothing touches the layers before seeding";

    test_support::GlTestWindow gl(320, 240);
    Lumora::Width = 320;
    Lumora::Height = 240;
    OpenGL_CreateList();
    // Each seeded emitter writes a few fields at the end of its 260 KB record: one page,
    // two where the fields straddle a page boundary, plus element 0's count.
    const size_t bound = 3 * (2 * 650 + 1);
    const size_t seeded = LayersResident();
    EXPECT_GE(seeded, 3u * 650);
    EXPECT_LE(seeded, bound);

    // Drawing every layer reads the same fields and nothing else.
    SelNube = 3;
    OpenGL_Draw();
    EXPECT_EQ(LayersResident(), seeded);
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    RecordProperty("ResidentLayerBytes", static_cast<int>(seeded * page));
    std::printf("layers: %zu pages (%zu KB) resident of %zu MB\n", seeded, seeded * page / 1024,
                3 * sizeof Nubi1 / (1024 * 1024));
}

} // namespace
