#include "core/file_copy.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <system_error>

namespace tolvane {
namespace {

// What one read(2) of the plain copy takes.
constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

}  // namespace

off_t CopyFileBytes(int source, int destination, const ByteSink& sink) {
  off_t copied = 0;
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
  for (;;) {
    const ssize_t n =
        ::copy_file_range(source, nullptr, destination, nullptr, std::size_t{1} << 30, 0);
    if (n == 0) {
      return copied;
    }
    if (n > 0) {
      copied += n;
      continue;
    }
    if (errno == EINTR) {
      continue;
    }
    // Between file systems before Linux 5.19, or on one that cannot: the plain way, from where
    // the offsets stand.
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
      return -1;
    }
    break;
  }
#else
  static_cast<void>(destination);  // only the kernel's copy writes there itself
#endif
  const auto buffer = std::make_unique_for_overwrite<char[]>(kCopyChunk);
  for (;;) {
    const ssize_t n = ::read(source, buffer.get(), kCopyChunk);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return -1;
    }
    if (n == 0) {
      return copied;
    }
    if (!sink(std::string_view(buffer.get(), static_cast<std::size_t>(n)))) {
      return -1;
    }
    copied += n;
  }
}

WriteBack::WriteBack(int fd) {
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
  try {
    thread_ = std::thread([fd] { ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE); });
  } catch (const std::system_error&) {
    // No thread to spare: fsync(2) does it all later.
  }
#else
  static_cast<void>(fd);
#endif
}

WriteBack::~WriteBack() {
#if !defined(__EMSCRIPTEN__)
  if (thread_.joinable()) {
    thread_.join();
  }
#endif
}

FileBytes::~FileBytes() {
  if (mapped_ != nullptr) {
    ::munmap(mapped_, mappedSize_);
  }
}

bool FileBytes::Read(int fd, std::size_t size) {
  if (size == 0) {
    view_ = {};
    return true;
  }
#if !defined(__EMSCRIPTEN__)
  // Mapped with its pages at once: the bytes are all read, one after the other.
  void* const at = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
  if (at != MAP_FAILED) {
    mapped_ = at;
    mappedSize_ = size;
    view_ = std::string_view(static_cast<const char*>(at), size);
    return true;
  }
#endif
  read_.resize(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, read_.data() + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      errno = n == 0 ? EIO : errno;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  view_ = read_;
  return true;
}

}  // namespace tolvane
