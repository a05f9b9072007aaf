#pragma once

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/replace_file.h"

namespace tolvane {

// One writer at a time for the files the tool rewrites from what they hold (a history a draw is
// added to, or merged into). The lock is an flock(2) on the file's folder (its links followed):
// it outlives the file being replaced by rename, the kernel drops it with a killed process, and a
// read-only folder can still be locked (the write then fails with its own reason).
class WriteLock {
 public:
  // Called once when another process holds the lock and this one starts waiting.
  using WaitNotice = std::function<void(const std::string& message)>;

  WriteLock() = default;
  ~WriteLock();
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

  // Takes the lock of writing `path`, waiting up to `patience` for another holder. False with
  // `error` set when it stayed held. A folder that cannot be opened is not locked: the write is
  // left to fail or succeed on its own.
  bool Acquire(const std::string& path, std::string& error, const WaitNotice& notice = {},
               std::chrono::milliseconds patience = std::chrono::seconds(5));

 private:
  int fd_ = -1;
};

// What identifies a file's contents without reading them: device, inode, size and change time.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified {};
  bool operator==(const FileStamp& other) const;
};
// The stamp of the file `path` names (its links followed); nullopt when there is none.
std::optional<FileStamp> StampOf(const std::string& path);

// Produces the new bytes of a file from what it holds: reads it and returns true with `produce`
// set (left empty: nothing to write), or false after saying why on its own.
using UpdateAttempt = std::function<bool(ByteProducer& produce)>;

enum class UpdateOutcome { kWritten, kNothingToWrite, kRefusedByAttempt, kFailed };

// Rewrites `path` from its own contents under its WriteLock: `attempt` reads and checks the file,
// and its bytes are written only if the file is still the one read (same identity, size and
// time) just before the new one takes its place. A file changed underneath is read again once;
// a second change fails. `beforeRename` runs just before that last look (tests change the file
// there). kFailed comes with `error` set, about `path`.
UpdateOutcome UpdateFileLocked(const std::string& path, const UpdateAttempt& attempt,
                               std::string& error, const WriteLock::WaitNotice& notice = {},
                               const std::function<void()>& beforeRename = {});

// Judges a file's bytes and says what goes after them: true with `added` set (left empty: nothing
// to write), or false after saying why on its own.
using AppendAttempt = std::function<bool(std::string_view bytes, std::string& added)>;

// UpdateFileLocked for a file that only grows at its end, at about the cost of copying it: the
// file is copied into the new one inside the kernel, and `attempt` judges the new file's own
// bytes, so the bytes checked are exactly the ones put in place. Only a regular file is
// appended to.
UpdateOutcome AppendFileLocked(const std::string& path, const AppendAttempt& attempt,
                               std::string& error, const WriteLock::WaitNotice& notice = {},
                               const std::function<void()>& beforeRename = {});

}  // namespace tolvane
