// Memory for pixels: zeroed blocks for pictures, and files read whole. Big blocks are
// mapped and faulted in at once rather than one page fault at a time, and the last ones
// released are kept for the next pictures.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "gdi_internal.h"

namespace platform::gdi {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapBigBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapBigBlocks = false;
#else
constexpr bool kMapBigBlocks = true;
#endif
#else
constexpr bool kMapBigBlocks = true;
#endif

// Below this, malloc's own pools serve better than fresh pages.
constexpr size_t kMapThreshold = size_t{1} << 20;

// Released big blocks kept for reuse, at most three and 64 MiB in all.
struct SpareBlock {
    uint8_t* block = nullptr;
    size_t length = 0;
};
constexpr size_t kMaxSpareBytes = size_t{64} << 20;
SpareBlock g_spare[3]; // written by PixelDeleter (kept) and AllocatePixels (taken back)

size_t PageRound(size_t bytes) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

} // namespace

void PixelDeleter::operator()(uint8_t* p) const {
    if (!p) return;
    if (!mapped) {
        std::free(p);
        return;
    }
    // Keep the block for the next picture of about its size: a program that loads pictures
    // one after another then touches fresh pages only once.
    size_t held = 0;
    for (const SpareBlock& s : g_spare)
        held += s.length;
    for (SpareBlock& s : g_spare)
        if (!s.block && held + mapped <= kMaxSpareBytes) {
            s = SpareBlock{p, mapped};
            return;
        }
    munmap(p, mapped);
}

PixelMemory AllocatePixels(size_t bytes, bool zeroed) {
    if (kMapBigBlocks && bytes >= kMapThreshold) {
        const size_t length = PageRound(bytes);
        // The smallest kept block that holds it, unless that wastes more than half.
        SpareBlock* best = nullptr;
        for (SpareBlock& s : g_spare)
            if (s.block && s.length >= length && s.length / 2 <= length &&
                (!best || s.length < best->length))
                best = &s;
        if (best) {
            PixelMemory reused(best->block, PixelDeleter{best->length});
            *best = SpareBlock{};
            if (zeroed) std::memset(reused.get(), 0, bytes);
            return reused;
        }
        void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (p != MAP_FAILED) return PixelMemory(static_cast<uint8_t*>(p), PixelDeleter{length});
    }
    void* p = zeroed ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    return PixelMemory(static_cast<uint8_t*>(p));
}

PixelMemory ReadWholeFile(const char* path, size_t maxBytes, size_t* size) {
    *size = 0;
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK); // a FIFO must not block us
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    struct stat st;
    PixelMemory out;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<uint64_t>(st.st_size) <= maxBytes) {
        // Read, not mapped: a mapping would tie the picture to a file that may change.
        const size_t length = static_cast<size_t>(st.st_size);
        out = AllocatePixels(length, false);
        size_t done = 0;
        while (out && done < length) {
            const ssize_t n = read(fd, out.get() + done, length - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                out.reset();
                break;
            }
            done += static_cast<size_t>(n);
        }
        if (out) *size = length;
    }
    close(fd);
    return out;
}

} // namespace platform::gdi
