#include "core/locked_update.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#include "core/file_copy.h"

namespace tolvane {
namespace {

// The folder holding the file `path` names once its links are followed (the path itself when
// they cannot be).
std::filesystem::path FolderOf(const std::string& path) {
  std::error_code error;
  std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
  if (error) {
    target = path;
  }
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

}  // namespace

WriteLock::~WriteLock() {
  if (fd_ >= 0) {
    ::close(fd_);  // closing the only descriptor drops the flock
  }
}

bool WriteLock::Acquire(const std::string& path, std::string& error, const WaitNotice& notice,
                        std::chrono::milliseconds patience) {
  const std::filesystem::path folder = FolderOf(path);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return true;
  }
  const auto deadline = std::chrono::steady_clock::now() + patience;
  bool told = false;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      ::close(fd);
      return true;  // a file system without locks: nothing to wait for
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      error = "another program is still writing in its folder after " +
              std::to_string(patience.count() / 1000) + " s; try again when it is done";
      return false;
    }
    if (!told && notice) {
      notice("waiting up to " + std::to_string(patience.count() / 1000) +
             " s for another program writing in the folder of " + path);
    }
    told = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  fd_ = fd;
  return true;
}

bool FileStamp::operator==(const FileStamp& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return std::nullopt;
  }
  return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

namespace {

// One try at a rewrite: what came of it, with `unchanged` run just before the rename.
using RewriteTry = std::function<UpdateOutcome(const RenameCheck& unchanged, std::string& error)>;

// Runs `rewrite` under the file's lock, once more when the file changed underneath.
UpdateOutcome RewriteLocked(const std::string& path, const RewriteTry& rewrite, std::string& error,
                            const WriteLock::WaitNotice& notice,
                            const std::function<void()>& beforeRename) {
  WriteLock lock;
  if (!lock.Acquire(path, error, notice)) {
    return UpdateOutcome::kFailed;
  }
  constexpr int kAttempts = 2;
  for (int round = 0; round < kAttempts; ++round) {
    const std::optional<FileStamp> before = StampOf(path);
    bool changed = false;
    const RenameCheck unchanged = [&](std::string& why) {
      if (beforeRename) {
        beforeRename();
      }
      changed = StampOf(path) != before;
      if (changed) {
        why = "changed while it was being read";
      }
      return !changed;
    };
    const UpdateOutcome outcome = rewrite(unchanged, error);
    if (!changed) {
      return outcome;
    }
  }
  error = "changed twice while it was being read (is another program writing it?); try again";
  return UpdateOutcome::kFailed;
}

// Copies the file at `path` into the new file `fd` (through `sink` where the kernel cannot) and
// reads the copy back into `bytes`; false with `error` set.
bool CopyInto(const std::string& path, int fd, const ByteSink& sink, FileBytes& bytes,
              std::string& error) {
  // Never waiting on a FIFO swapped in: it is refused below.
  const int source = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (source < 0) {
    error = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (::fstat(source, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(source);
    error = "is not a regular file";
    return false;
  }
  const off_t copied = CopyFileBytes(source, fd, sink);
  const int copyError = errno;
  ::close(source);
  if (copied < 0) {
    error = std::string("cannot copy: ") + std::strerror(copyError);
    return false;
  }
  if (!bytes.Read(fd, static_cast<std::size_t>(copied))) {
    error = std::string("cannot read its copy: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

UpdateOutcome UpdateFileLocked(const std::string& path, const UpdateAttempt& attempt,
                               std::string& error, const WriteLock::WaitNotice& notice,
                               const std::function<void()>& beforeRename) {
  return RewriteLocked(
      path,
      [&](const RenameCheck& unchanged, std::string& why) {
        ByteProducer produce;
        if (!attempt(produce)) {
          return UpdateOutcome::kRefusedByAttempt;
        }
        if (!produce) {
          return UpdateOutcome::kNothingToWrite;
        }
        return ReplaceFile(path, produce, why, nullptr, unchanged) ? UpdateOutcome::kWritten
                                                                   : UpdateOutcome::kFailed;
      },
      error, notice, beforeRename);
}

UpdateOutcome AppendFileLocked(const std::string& path, const AppendAttempt& attempt,
                               std::string& error, const WriteLock::WaitNotice& notice,
                               const std::function<void()>& beforeRename) {
  return RewriteLocked(
      path,
      [&](const RenameCheck& unchanged, std::string& why) {
        // Set when the attempt, not the copy, ends the write.
        UpdateOutcome stopped = UpdateOutcome::kFailed;
        const FileProducer copyThenAdd = [&](int fd, const ByteSink& sink, std::string& e) {
          FileBytes bytes;
          if (!CopyInto(path, fd, sink, bytes, e)) {
            return false;
          }
          // The disk takes the copy while it is judged.
          const WriteBack writeBack(fd);
          std::string added;
          if (!attempt(bytes.View(), added)) {
            stopped = UpdateOutcome::kRefusedByAttempt;
            return false;
          }
          if (added.empty()) {
            stopped = UpdateOutcome::kNothingToWrite;
            return false;
          }
          return sink(added);
        };
        return ReplaceFileThrough(path, copyThenAdd, why, unchanged) ? UpdateOutcome::kWritten
                                                                     : stopped;
      },
      error, notice, beforeRename);
}

}  // namespace tolvane
