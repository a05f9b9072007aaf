#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tolvane {

// The system's write(2), or a stand-in that fails on purpose.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);

// Hands the bytes of a file to whatever writes them, piece by piece; false when they could not
// be written (the producer then stops).
using ByteSink = std::function<bool(std::string_view bytes)>;
// Produces a file's bytes into the sink; false to abandon the file (with `error` set by it).
using ByteProducer = std::function<bool(const ByteSink& sink, std::string& error)>;
// Produces a file's bytes with the new file at hand too: `fd` is open for reading and writing, at
// its end, so a producer may copy into it inside the kernel or read back what it holds; what it
// hands the sink goes after that.
using FileProducer = std::function<bool(int fd, const ByteSink& sink, std::string& error)>;
// Runs when the new file is complete, just before it takes the old one's place: false (with
// `error` set) leaves the old file as it is.
using RenameCheck = std::function<bool(std::string& error)>;

// Every file the tool writes is written here, the way users of install(1) and mv(1) expect:
// - A regular file (or none yet) is replaced all or nothing: the bytes go to a new file in the
//   same folder, which is flushed to the disk and only then renamed over `path`. The replaced
//   file's permission bits are kept, its extended attributes where both files may have them, and
//   its owner and group where the process may set them; a new one gets 0666 less the umask. A
//   file no one may write (0444), or this process may not, is refused, as rm(1) asks first.
//   The new file is a file of its own: other hard links keep the old contents.
// - A symbolic link keeps being the link: the file it points to (through any chain of links) is
//   the one written.
// - A FIFO or a character device is written in place, never replaced (a FIFO without a reader
//   fails at once); a directory, a socket or a block device is refused.
// - SIGINT, SIGTERM and SIGHUP while the new file is being written remove it before the process
//   ends as the signal says (only SIGKILL or a crash can leave it, as `.tolvane-PID-N` beside
//   `path`).
// On failure `path` is as it was, no new file is left, and `error` says why, about `path`.
// `write` (nullptr: the system's) writes the bytes.
bool ReplaceFile(const std::string& path, const ByteProducer& produce, std::string& error,
                 WriteCall write = nullptr, const RenameCheck& check = {});

// The same for a producer that needs the new file itself. Only a regular file (or none yet) can be
// replaced that way; any other kind is refused.
bool ReplaceFileThrough(const std::string& path, const FileProducer& produce, std::string& error,
                        const RenameCheck& check = {});

// The same for bytes already in memory.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error,
                         WriteCall write = nullptr);

}  // namespace tolvane
