#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvane {

// The system's write(2), or a stand-in that fails on purpose.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);

// Replaces the file at `path` with `bytes`, all or nothing: they go to a new file in the same
// folder, which is flushed to the disk and only then renamed over `path`. On any failure the
// new file is removed, `path` is as it was, and `error` says why. An existing file keeps its
// permission bits; a new one gets 0666 less the umask. `write` (nullptr: the system's) writes
// the bytes.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error,
                         WriteCall write = nullptr);

}  // namespace tolvane
