// Movable global memory: blocks reached through handles, locked for a pointer, grown with
// their contents kept.
//   [x] GlobalAlloc, GlobalReAlloc, GlobalLock, GlobalUnlock, GlobalFree, GlobalSize
//   [x] GMEM_MOVEABLE, GMEM_FIXED (new bytes always read as zero, as with GMEM_ZEROINIT)
//   [ ] GMEM_MODIFY, discardable blocks, GlobalHandle
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "gdi_internal.h"
#include "handles.h"
#include "platform/win_gdi.h"

namespace platform {

namespace {

// Bigger requests fail as Win32 fails them when memory runs out, instead of asking the
// allocator for absurd sizes.
constexpr size_t kMaxGlobalBlock = size_t{1} << 30;

struct GlobalBlock {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
    size_t capacity = 0;
    bool movable = false;
    int locks = 0;
};

HandleTable<GlobalBlock> g_blocks; // every live block; written by GlobalAlloc and GlobalFree

} // namespace

size_t gdi::LiveGlobalBlocks() {
    return g_blocks.Size();
}

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
    if (bytes > kMaxGlobalBlock) return 0;
    auto block = std::make_unique<GlobalBlock>();
    block->data.reset(new (std::nothrow) uint8_t[std::max<size_t>(bytes, 1)]());
    if (!block->data) return 0;
    block->size = bytes;
    block->capacity = std::max<size_t>(bytes, 1);
    block->movable = (flags & GMEM_MOVEABLE) != 0;
    return g_blocks.Add(std::move(block));
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags) {
    GlobalBlock* b = g_blocks.Find(mem);
    if (!b || bytes > kMaxGlobalBlock) return 0;
    if (bytes <= b->capacity) {
        // Shrinking or regrowing within the block: stays in place; bytes past the old end
        // read as zero again.
        if (bytes > b->size) std::memset(b->data.get() + b->size, 0, bytes - b->size);
        b->size = bytes;
        return mem;
    }
    // Growing moves the block, which a locked block may only do when the caller allows it.
    if (b->locks > 0 && !(flags & GMEM_MOVEABLE)) return 0;
    std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[bytes]());
    if (!grown) return 0; // the old block stays as it was
    std::memcpy(grown.get(), b->data.get(), b->size);
    b->data = std::move(grown);
    b->size = bytes;
    b->capacity = bytes;
    return mem;
}

void* GlobalLock(HGLOBAL mem) {
    GlobalBlock* b = g_blocks.Find(mem);
    if (!b || b->size == 0) return nullptr;
    if (b->movable) ++b->locks;
    return b->data.get();
}

BOOL GlobalUnlock(HGLOBAL mem) {
    GlobalBlock* b = g_blocks.Find(mem);
    if (!b || b->locks == 0) return FALSE;
    // Nonzero while other locks remain, as Win32 reports it.
    return --b->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    // 0 on success; the handle back when it names no block.
    return g_blocks.Remove(mem) ? 0 : mem;
}

size_t GlobalSize(HGLOBAL mem) {
    const GlobalBlock* b = g_blocks.Find(mem);
    return b ? b->size : 0;
}

} // namespace platform
