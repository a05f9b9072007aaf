#include "core/replace_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#if !defined(__EMSCRIPTEN__)
#include <sys/xattr.h>
#endif
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace tolvane {
namespace {

std::string Because(const char* what, int error) {
  return what + std::string(std::strerror(error));
}

// Creates a file no one else uses beside `path`; -1 with errno on failure. Its name is short
// whatever the target's, so it fits in any folder the target does.
int CreateBeside(const std::filesystem::path& path, std::string& created) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    created =
        (folder / (".tolvane-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)))
            .string();
    const int fd = ::open(created.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

// ---- Removing the new file when the process is told to end ----

constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

// What the handler may touch: a fixed buffer, flags and the actions it replaced.
char pendingPath[PATH_MAX + 1];
volatile std::sig_atomic_t pendingSet = 0;
std::array<struct sigaction, kEndingSignals.size()> replacedActions;
std::array<bool, kEndingSignals.size()> handled{};

// Only async-signal-safe calls: the new file goes, the signal's earlier action comes back and
// the signal is raised again, so the process ends (or not) as it would have.
void RemovePendingAndRaise(int signal) {
  if (pendingSet != 0) {
    ::unlink(pendingPath);
    pendingSet = 0;
  }
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    if (kEndingSignals[i] == signal && handled[i]) {
      ::sigaction(signal, &replacedActions[i], nullptr);
    }
  }
  ::raise(signal);
}

// Creates the new file beside `path` (CreateBeside) and holds its name for the handler while it
// exists; one at a time per process.
class PendingFile {
 public:
  PendingFile() : lock_(Serial()) {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndRaise;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) {
      sigaddset(&action.sa_mask, signal);
    }
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
      struct sigaction current {};
      // A signal the process ignores (nohup) stays ignored.
      handled[i] = ::sigaction(kEndingSignals[i], nullptr, &current) == 0 &&
                   current.sa_handler != SIG_IGN &&
                   ::sigaction(kEndingSignals[i], &action, &replacedActions[i]) == 0;
    }
  }
  ~PendingFile() {
    pendingSet = 0;
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
      if (handled[i]) {
        ::sigaction(kEndingSignals[i], &replacedActions[i], nullptr);
        handled[i] = false;
      }
    }
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // The file and its name for the handler come together: the signals wait meanwhile.
  int Create(const std::filesystem::path& beside, std::string& created) {
    sigset_t ending;
    sigset_t before;
    sigemptyset(&ending);
    for (const int signal : kEndingSignals) {
      sigaddset(&ending, signal);
    }
    pthread_sigmask(SIG_BLOCK, &ending, &before);
    const int fd = CreateBeside(beside, created);
    const int error = errno;
    if (fd >= 0 && created.size() < sizeof pendingPath) {
      std::memcpy(pendingPath, created.c_str(), created.size() + 1);
      pendingSet = 1;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return fd;
  }

 private:
  static std::mutex& Serial() {
    static std::mutex serial;
    return serial;
  }
  std::lock_guard<std::mutex> lock_;
};

// ---- Where the bytes go ----

// The file a path names once its symbolic links are followed; the last one may dangle, and
// then the file it would name is the one to create. False with errno on a loop or an error.
bool FollowLinks(std::filesystem::path& path) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
      return errno == ENOENT;
    }
    if (!S_ISLNK(info.st_mode)) {
      return true;
    }
    std::array<char, PATH_MAX> target{};
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
      if (length >= 0) {
        errno = ENAMETOOLONG;
      }
      return false;
    }
    const std::filesystem::path next(std::string(target.data(), static_cast<std::size_t>(length)));
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  errno = ELOOP;
  return false;
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

// Runs the producer into fd; false with `error` set when it or a write failed.
bool Produce(int fd, const FileProducer& produce, WriteCall write, std::string& error) {
  int writeError = 0;
  const ByteSink sink = [fd, write, &writeError](std::string_view bytes) {
    if (writeError == 0 && !WriteAll(fd, bytes, write)) {
      writeError = errno;
    }
    return writeError == 0;
  };
  std::string produceError;
  const bool produced = produce(fd, sink, produceError);
  if (writeError != 0) {
    error = Because("cannot write: ", writeError);
    return false;
  }
  if (!produced) {
    error = produceError;
    return false;
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

// A FIFO or a character device takes the bytes as they come; nothing can be replaced there.
bool WriteInPlace(const std::filesystem::path& target, bool fifo, const FileProducer& produce,
                  WriteCall write, std::string& error) {
  // Without O_NONBLOCK, opening a FIFO nobody reads would wait for a reader forever.
  const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = fifo && errno == ENXIO ? "is a FIFO with no reader" : Because("cannot open: ", errno);
    return false;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) {
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  bool ok = Produce(fd, produce, write, error);
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = Because("cannot write: ", errno);
  }
  return ok;
}

// The old file's extended attributes, those the new one may take (a file system without them, or
// a name only privileges may set, loses nothing else).
void CopyAttributes(const std::filesystem::path& from, int fd) {
#if defined(__EMSCRIPTEN__)
  // The browser's in-memory file system keeps no extended attributes.
  static_cast<void>(from);
  static_cast<void>(fd);
#else
  const ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  if (size <= 0) {
    return;
  }
  std::string names(static_cast<std::size_t>(size), '\0');
  const ssize_t listed = ::listxattr(from.c_str(), names.data(), names.size());
  if (listed <= 0) {
    return;
  }
  names.resize(static_cast<std::size_t>(listed));
  for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
    const char* name = names.c_str() + at;
    const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
    if (length < 0) {
      continue;
    }
    std::string value(static_cast<std::size_t>(length), '\0');
    const ssize_t got = ::getxattr(from.c_str(), name, value.data(), value.size());
    if (got >= 0) {
      static_cast<void>(::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(got), 0));
    }
  }
#endif
}

// The new file takes the old one's permission bits and, where allowed, its owner and group.
bool TakeOver(int fd, const std::filesystem::path& target, const struct stat& existing,
              std::string& error) {
  CopyAttributes(target, fd);
  if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
    // Another owner needs privileges the process may not have; a group of its own it may set.
    static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), existing.st_gid));
  }
  if (::fchmod(fd, existing.st_mode & 07777) != 0) {
    error = Because("cannot set the new file's permissions: ", errno);
    return false;
  }
  return true;
}

bool ReplaceRegular(const std::filesystem::path& target, const struct stat* existing,
                    const FileProducer& produce, WriteCall write, const RenameCheck& check,
                    std::string& error) {
  // As rm(1) asks before removing a file it may not write, so a replace refuses one.
  if (existing != nullptr &&
      ((existing->st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
    error = "is write-protected; make it writable first (chmod u+w) to rewrite it";
    return false;
  }
  std::string temporary;
  PendingFile pending;
  const int fd = pending.Create(target, temporary);
  if (fd < 0) {
    error = Because("cannot create a file in its folder: ", errno);
    return false;
  }
  bool ok = existing == nullptr || TakeOver(fd, target, *existing, error);
  ok = ok && Produce(fd, produce, write, error);
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    error = Because("cannot write: ", errno);
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = Because("cannot write: ", errno);
  }
  if (ok && check && !check(error)) {
    ok = false;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
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

}  // namespace

namespace {

// Where `path` leads and what is there, for a replace; false with `error` set when it cannot be.
bool FindTarget(const std::string& path, std::filesystem::path& target, struct stat& existing,
                bool& exists, std::string& error) {
  if (path.empty() || path.find('\0') != std::string::npos || path.back() == '/') {
    error = "is not a file name";
    return false;
  }
  target = path;
  if (!FollowLinks(target)) {
    error = Because("cannot follow its link: ", errno);
    return false;
  }
  exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    error = Because("cannot look at it: ", errno);
    return false;
  }
  return true;
}

std::string KindProblem(const struct stat& existing) {
  return S_ISDIR(existing.st_mode)    ? "is a directory"
         : S_ISSOCK(existing.st_mode) ? "is a socket, not a file"
         : S_ISBLK(existing.st_mode)  ? "is a block device, not a file"
                                      : "is not a regular file";
}

}  // namespace

bool ReplaceFile(const std::string& path, const ByteProducer& produce, std::string& error,
                 WriteCall write, const RenameCheck& check) {
  std::filesystem::path target;
  struct stat existing {};
  bool exists = false;
  if (!FindTarget(path, target, existing, exists, error)) {
    return false;
  }
  if (write == nullptr) {
    write = &::write;
  }
  const FileProducer bytesOnly = [&produce](int, const ByteSink& sink, std::string& why) {
    return produce(sink, why);
  };
  if (!exists || S_ISREG(existing.st_mode)) {
    return ReplaceRegular(target, exists ? &existing : nullptr, bytesOnly, write, check, error);
  }
  if (S_ISFIFO(existing.st_mode) || S_ISCHR(existing.st_mode)) {
    return WriteInPlace(target, S_ISFIFO(existing.st_mode), bytesOnly, write, error);
  }
  error = KindProblem(existing);
  return false;
}

bool ReplaceFileThrough(const std::string& path, const FileProducer& produce, std::string& error,
                        const RenameCheck& check) {
  std::filesystem::path target;
  struct stat existing {};
  bool exists = false;
  if (!FindTarget(path, target, existing, exists, error)) {
    return false;
  }
  if (exists && !S_ISREG(existing.st_mode)) {
    error = KindProblem(existing);
    return false;
  }
  return ReplaceRegular(target, exists ? &existing : nullptr, produce, &::write, check, error);
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error,
                         WriteCall write) {
  return ReplaceFile(
      path, [bytes](const ByteSink& sink, std::string&) { return sink(bytes); }, error, write);
}

}  // namespace tolvane
