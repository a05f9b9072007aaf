#include "core/locked_update.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <thread>

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

UpdateOutcome UpdateFileLocked(const std::string& path, const UpdateAttempt& attempt,
                               std::string& error, const WriteLock::WaitNotice& notice,
                               const std::function<void()>& beforeRename) {
  WriteLock lock;
  if (!lock.Acquire(path, error, notice)) {
    return UpdateOutcome::kFailed;
  }
  constexpr int kAttempts = 2;
  for (int round = 0; round < kAttempts; ++round) {
    const std::optional<FileStamp> before = StampOf(path);
    ByteProducer produce;
    if (!attempt(produce)) {
      return UpdateOutcome::kRefusedByAttempt;
    }
    if (!produce) {
      return UpdateOutcome::kNothingToWrite;
    }
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
    if (ReplaceFile(path, produce, error, nullptr, unchanged)) {
      return UpdateOutcome::kWritten;
    }
    if (!changed) {
      return UpdateOutcome::kFailed;
    }
  }
  error = "changed twice while it was being read (is another program writing it?); try again";
  return UpdateOutcome::kFailed;
}

}  // namespace tolvane
