// Raw file access for the library's readers: does a path name a file, and reading a file's
// bytes as stored, in counted blocks. Plain POSIX underneath.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// An open file of 1-byte records. Fd is -1 while closed.
struct RawFile {
    int Fd = -1;
};

// True when the path exists and is not a directory (symbolic links are followed).
bool FileExists(const char* path);

// Opens the whole path for reading, never a shortened copy of it. False when it cannot be
// opened (missing, a directory, no permission, a name the system refuses as too long).
bool RawFileOpen(RawFile& file, const char* path);

// Reads up to count bytes; fewer only at the end of the file or on a read error. Retries
// interrupted and partial reads, so one call is one counted block.
size_t RawFileRead(RawFile& file, void* buffer, size_t count);

// Size in bytes of an open regular file; -1 for anything else (pipes, devices), whose
// size cannot be known before reading.
int64_t RawFileSize(const RawFile& file);

// Closes the file if it is open; closing a closed file does nothing.
void RawFileClose(RawFile& file);

} // namespace platform
