// What a leak would show: the process's resident memory and the GL names in use in the
// current context.
#pragma once

#include <cstdint>

namespace soak {

struct GlNames {
    int64_t textures;     // texture objects that exist (glIsTexture)
    int64_t lists;        // display lists that exist (glIsList)
    uint32_t nextTexture; // the name glGenTextures hands out next
    uint32_t nextList;    // the name glGenLists hands out next
    int64_t probe;        // how many probes came before this one, each making one name
};

struct Sample {
    int64_t frame;
    int64_t rssKb; // VmRSS, -1 when /proc cannot be read
    GlNames names;
    double seconds; // since the window was opened
};

int64_t ResidentKb();

// Counts the names in use over a range that reaches well past the highest name handed out,
// so that names made and never deleted, whether or not they were ever bound, show up.
GlNames CountGlNames();

// True when `later` has the names of `earlier` and nothing more. Each probe makes and deletes
// one name of each kind, and Mesa does not hand a deleted name out again at once, so the
// next names may move on by one per probe and no further.
bool NoNamesGained(const GlNames& earlier, const GlNames& later);

} // namespace soak
