// Raw file access over POSIX descriptors: existence tests and counted block reads.
#include "platform/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool FileExists(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    struct stat st;
    if (stat(path, &st) != 0) return false;
    return !S_ISDIR(st.st_mode);
}

bool RawFileOpen(RawFile& file, const char* path) {
    file.Fd = -1;
    if (path == nullptr || *path == '\0') return false;
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    // open() happily gives a descriptor for a directory; reading it would only fail later.
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return false;
    }
    file.Fd = fd;
    return true;
}

size_t RawFileRead(RawFile& file, void* buffer, size_t count) {
    if (file.Fd < 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t got = read(file.Fd, out + done, count - done);
        if (got > 0) {
            done += static_cast<size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break; // end of file, or an error: the caller sees a short count
        }
    }
    return done;
}

int64_t RawFileSize(const RawFile& file) {
    if (file.Fd < 0) return -1;
    struct stat st;
    if (fstat(file.Fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

void RawFileClose(RawFile& file) {
    if (file.Fd >= 0) close(file.Fd);
    file.Fd = -1;
}

} // namespace platform
