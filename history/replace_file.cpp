#include "history/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tolvane {
namespace {

std::string Because(const char* what, int error) {
  return what + std::string(std::strerror(error));
}

// Creates a file of a name no one else uses, beside `path`; -1 with errno on failure.
int CreateBeside(const std::filesystem::path& path, std::string& created) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    created = (folder / ("." + path.filename().string() + ".tolvane-" + std::to_string(::getpid()) +
                         "-" + std::to_string(counter++)))
                  .string();
    const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes, WriteCall write) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      if (n == 0) {
        errno = EIO;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The rename itself is only durable once the folder is; a failure here loses nothing written.
void SyncFolder(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error,
                         WriteCall write) {
  if (path.empty() || path.find('\0') != std::string::npos || path.back() == '/') {
    error = "is not a file name";
    return false;
  }
  const std::filesystem::path target(path);
  std::string temporary;
  const int fd = CreateBeside(target, temporary);
  if (fd < 0) {
    error = Because("cannot create a file in its folder: ", errno);
    return false;
  }
  struct stat existing {};
  bool ok = true;
  if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
      ::fchmod(fd, existing.st_mode & 07777) != 0) {
    ok = false;
    error = Because("cannot set the new file's permissions: ", errno);
  }
  if (ok && !WriteAll(fd, bytes, write != nullptr ? write : &::write)) {
    ok = false;
    error = Because("cannot write: ", errno);
  }
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    error = Because("cannot write: ", errno);
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = Because("cannot write: ", errno);
  }
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    error = Because("cannot put the new file in place: ", errno);
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(target);
  return true;
}

}  // namespace tolvane
