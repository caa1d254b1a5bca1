// Resident memory from /proc and GL names by probing the context.
#include "soak_probes.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace soak {

namespace {

constexpr uint32_t ScanFloor = 4096; // names always probed, whatever the next free one is
constexpr uint32_t ScanMargin = 256; // names probed beyond the next free one

int64_t g_probes = 0; // probes made so far; written by CountGlNames

} // namespace

int64_t ResidentKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            if (std::sscanf(line + 6, "%lld", &kb) != 1) kb = -1;
            break;
        }
    std::fclose(f);
    return kb;
}

GlNames CountGlNames() {
    GlNames n{};
    n.probe = g_probes++;
    // A name made and deleted at once tells where the allocator stands: names reserved by
    // glGen* and never used push it up even though glIs* does not see them.
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glDeleteTextures(1, &texture);
    n.nextTexture = texture;
    const GLuint list = glGenLists(1);
    if (list != 0) glDeleteLists(list, 1);
    n.nextList = list;

    const uint32_t scanTo = std::max(ScanFloor, std::max(texture, list) + ScanMargin);
    for (uint32_t name = 1; name <= scanTo; ++name) {
        if (glIsTexture(name)) ++n.textures;
        if (glIsList(name)) ++n.lists;
    }
    return n;
}

bool NoNamesGained(const GlNames& earlier, const GlNames& later) {
    const int64_t ownNames = later.probe - earlier.probe;
    const auto movedBy = [](uint32_t from, uint32_t to) {
        return static_cast<int64_t>(to) - static_cast<int64_t>(from);
    };
    return later.textures == earlier.textures && later.lists == earlier.lists &&
           movedBy(earlier.nextTexture, later.nextTexture) <= ownNames &&
           movedBy(earlier.nextList, later.nextList) <= ownNames;
}

} // namespace soak
